#include "online/KBaseApi.h"

#include <QDebug>
#include <QHttpMultiPart>
#include <QNetworkReply>
#include <QUrl>

KBaseApi::KBaseApi(QObject* parent) : QObject(parent)
{
    connect(&manager, &QNetworkAccessManager::finished, this, &KBaseApi::serviceRequestFinished);
}

KBaseApi::~KBaseApi() = default;

QNetworkReply* KBaseApi::get(const QString& url)
{
    request.setUrl(QUrl(url));
    ++m_inFlight;
    return manager.get(request);
}

QNetworkReply* KBaseApi::post(const QString& url, const QByteArray& body)
{
    request.setUrl(QUrl(url));
    ++m_inFlight;
    return manager.post(request, body);
}

QNetworkReply* KBaseApi::post(const QString& url, QHttpMultiPart* parts)
{
    request.setUrl(QUrl(url));
    ++m_inFlight;
    return manager.post(request, parts);
}

QNetworkReply* KBaseApi::post(const QNetworkRequest& ownRequest, QHttpMultiPart* parts)
{
    ++m_inFlight;
    return manager.post(ownRequest, parts);
}

bool KBaseApi::replyAnswered(QNetworkReply* reply) const
{
    (void)reply;
    return false;
}

void KBaseApi::serviceRequestFinished(QNetworkReply* reply)
{
    emit stopTimer();
    if (!replyAnswered(reply)) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        qDebug() << reply->error();
        QByteArray body;
        if (reply->error() == QNetworkReply::NoError && reply->bytesAvailable() <= kMaxReplyBody)
            body = reply->read(kMaxReplyBody);
        handleReply(reply, body, status);
    }
    // Clearing the cache under a request still in flight strands that request: clear when the last is done.
    if (--m_inFlight <= 0) {
        m_inFlight = 0;
        manager.clearAccessCache();
    }
    reply->deleteLater();
}
