#include "online/FfileDownloader.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {
const char kOversize[] = "corvaneOversize";
}

FfileDownloader::FfileDownloader(QObject* parent) : QObject(parent)
{
    connect(&manager, &QNetworkAccessManager::finished, this, &FfileDownloader::fileDownloaded);
}

FfileDownloader::~FfileDownloader() = default;

void FfileDownloader::setLimits(int transferTimeoutMs, qint64 maxBody)
{
    m_transferTimeoutMs = transferTimeoutMs > 0 ? transferTimeoutMs : kTransferTimeoutMs;
    m_maxBody = maxBody > 0 ? maxBody : kMaxBody;
}

void FfileDownloader::startDownload(QString url)
{
    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    request.setTransferTimeout(m_transferTimeoutMs);
    QNetworkReply* reply = manager.get(request);
    const qint64 limit = m_maxBody;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, limit](qint64 received, qint64 total) {
        if (received > limit || total > limit) {
            reply->setProperty(kOversize, true);
            reply->abort();
        }
    });
}

void FfileDownloader::fileDownloaded(QNetworkReply* pReply)
{
    data.clear();
    const int status = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool oversize = pReply->property(kOversize).toBool() || pReply->bytesAvailable() > m_maxBody;
    if (!oversize)
        data = pReply->read(m_maxBody);
    m_succeeded = !oversize && pReply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    pReply->deleteLater();
    emit downloaded();
}
