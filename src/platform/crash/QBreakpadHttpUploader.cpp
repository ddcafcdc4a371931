#include "platform/crash/QBreakpadHttpUploader.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>

QBreakpadHttpUploader::QBreakpadHttpUploader(QObject* parent)
    : QObject(parent)
{
}

QBreakpadHttpUploader::QBreakpadHttpUploader(const QUrl& url, QObject* parent)
    : QObject(parent)
{
    m_request.setUrl(url);
}

QBreakpadHttpUploader::~QBreakpadHttpUploader()
{
    if (m_reply) {
        qWarning("m_reply is not NULL");
        // The reply reads the file: it stops here, before the file goes, and reports to no one.
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    delete m_file;
}

void QBreakpadHttpUploader::setUrl(const QUrl& url)
{
    m_request.setUrl(url);
}

QString QBreakpadHttpUploader::remoteUrl() const
{
    return m_request.url().toString();
}

void QBreakpadHttpUploader::uploadDump(const QString& abs_file_path)
{
    if (m_reply)
        return; // one upload at a time
    const QFileInfo info(abs_file_path);
    auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);

    QHttpPart namePart;
    namePart.setBody(QCoreApplication::applicationName().toLatin1());
    QHttpPart versionPart;
    versionPart.setBody(QCoreApplication::applicationVersion().toLatin1());
    QHttpPart dumpPart;
    dumpPart.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QVariant(QStringLiteral("form-data; name=\"upload_file_minidump\"; filename=\"%1\"")
                                    .arg(info.fileName())));
    dumpPart.setHeader(QNetworkRequest::ContentTypeHeader, QVariant(QStringLiteral("application/octet-stream")));

    m_file = new QFile(abs_file_path);
    if (!m_file->open(QIODevice::ReadOnly)) {
        delete m_file;
        m_file = nullptr;
        delete multiPart;
        return;
    }
    // The body part reads the file; the uploader keeps the pointer to delete the dump after success.
    dumpPart.setBodyDevice(m_file);
    multiPart->append(namePart);
    multiPart->append(versionPart);
    multiPart->append(dumpPart);

    m_request.setRawHeader("User-Agent", QCoreApplication::applicationName().toLatin1() + '/'
                                             + QCoreApplication::applicationVersion().toLatin1());
    m_reply = m_manager.post(m_request, multiPart);
    multiPart->setParent(m_reply);
    connect(m_reply, &QNetworkReply::uploadProgress, this, &QBreakpadHttpUploader::onUploadProgress);
    connect(m_reply, &QNetworkReply::errorOccurred, this, &QBreakpadHttpUploader::onError);
    connect(m_reply, &QNetworkReply::finished, this, &QBreakpadHttpUploader::onUploadFinished);
}

void QBreakpadHttpUploader::onUploadProgress(qint64 sent, qint64 total)
{
    qDebug("upload progress: %lld/%lld", static_cast<long long>(sent), static_cast<long long>(total));
}

void QBreakpadHttpUploader::onError(QNetworkReply::NetworkError err)
{
    qDebug() << err;
}

void QBreakpadHttpUploader::onUploadFinished()
{
    if (!m_reply)
        return;
    const QString answer = QString::fromUtf8(m_reply->readAll());
    qDebug() << "Upload finished";
    qDebug() << "Answer: " + answer;
    if (m_reply->error() == QNetworkReply::NoError) {
        qDebug() << "Upload to " + remoteUrl() + " success!";
        if (m_file) {
            m_file->close();
            m_file->remove();
        }
    } else {
        qWarning("Upload error: %d - %s", static_cast<int>(m_reply->error()), qPrintable(m_reply->errorString()));
    }
    emit finished(answer);
    m_reply->close();
    m_reply->deleteLater();
    m_reply = nullptr;
    delete m_file;
    m_file = nullptr;
}
