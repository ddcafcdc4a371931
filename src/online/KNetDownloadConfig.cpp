#include "online/KNetDownloadConfig.h"

#include "online/KNetCommon.h"

#include <QNetworkReply>

KNetDownloadConfig::KNetDownloadConfig(QObject* parent) : KNetBase(parent)
{
    connect(this, &KNetBase::requestTimedOut, this,
            [this] { emit sigDownloadRequest(-1, codeMessage(-1), QString()); });
}

void KNetDownloadConfig::downloadConfig(QString type)
{
    postJson(type.isEmpty() ? MacroConfigGet : ConfigGet, QJsonObject{{"configType", type}});
}

void KNetDownloadConfig::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    if (reply->error() != QNetworkReply::NoError)
        KNetCommon::instance()->checkOnline();
    const Envelope envelope = parseEnvelope(reply, body);
    emit sigDownloadRequest(envelope.code, codeMessage(envelope.code),
                            envelope.data.value(QStringLiteral("filePath")).toString());
}
