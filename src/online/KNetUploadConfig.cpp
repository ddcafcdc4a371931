#include "online/KNetUploadConfig.h"

#include "common/AppServices.h"
#include "common/BoundedRead.h"
#include "online/KNetCommon.h"

#include <QDebug>
#include <QFile>
#include <QHttpMultiPart>
#include <QNetworkReply>

KNetUploadConfig::KNetUploadConfig(QObject* parent) : KNetBase(parent)
{
    connect(this, &KNetBase::requestTimedOut, this,
            [this] { emit sigUploadFileRet(-1, codeMessage(-1), QString()); });
}

bool KNetUploadConfig::uploadCurrentConfig(QFile* file, bool state)
{
    if (!file || !file->isOpen() || !file->isReadable()) {
        qDebug() << "[Error] uploadCurrentConfig: the archive is not open";
        return false;
    }
    // An archive that cannot be read whole would go out empty or cut: nothing is sent then.
    const auto [read, archive] = readAtMost(*file, kMaxArchiveBytes - 1);
    if (!read || archive.isEmpty()) {
        qDebug() << "[Error] uploadCurrentConfig: the archive is empty, unreadable or too large" << file->fileName();
        return false;
    }

    QHttpPart part;
    QByteArray token = AppServices::instance()->getToken().toUtf8();
    // A null value would drop the header; without a token it goes out empty.
    if (token.isNull())
        token = QByteArray("");
    part.setRawHeader("Authorization", token);
    part.setRawHeader("Content-Disposition",
                      state ? QByteArray(R"(form-data; name="file"; filename="LocalFile.zip")")
                            : QByteArray(R"(form-data; name="file"; filename="MacroFile.zip")"));
    part.setBody(archive);
    auto* parts = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    parts->append(part);
    postOwnRequest(FileUpload, parts, m_uploadTimeoutMs);
    return true;
}

void KNetUploadConfig::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    emit stopTimer();
    if (reply->error() != QNetworkReply::NoError)
        KNetCommon::instance()->checkOnline();
    const Envelope envelope = parseEnvelope(reply, body);
    emit sigUploadFileRet(envelope.code, codeMessage(envelope.code),
                          envelope.data.value(QStringLiteral("filePath")).toString());
}
