#include "online/KNetLogin.h"

#include "common/AppServices.h"
#include "online/KNetCommon.h"

#include <QNetworkReply>

void KNetLogin::login(QString emailText, QString password)
{
    email = emailText;
    postJson(Login, QJsonObject{{"email", emailText}, {"password", password}});
}

void KNetLogin::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    if (reply->error() != QNetworkReply::NoError)
        KNetCommon::instance()->checkOnline();
    const Envelope envelope = parseEnvelope(reply, body);
    if (envelope.code == 0) {
        // Header names are case-insensitive.
        const QString token = QString::fromUtf8(reply->rawHeader("Authorization"));
        AppServices::instance()->storeLogin(email, envelope.data.value(QStringLiteral("nickname")).toString(), token);
    }
    emit sigRequestFinished(envelope.code, codeMessage(envelope.code));
}
