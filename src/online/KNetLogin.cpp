#include "online/KNetLogin.h"

#include "common/AppServices.h"
#include "online/KNetCommon.h"

#include <QDebug>
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
    Envelope envelope = parseEnvelope(reply, body);
    if (envelope.code == 0) {
        // Header names are case-insensitive. Without a token there is no log-in to keep: it failed.
        const QString token = QString::fromUtf8(reply->rawHeader("Authorization")).trimmed();
        if (token.isEmpty()) {
            qDebug() << "[Error] the log-in answer carries no token";
            envelope.code = kLoginFailed;
        } else {
            AppServices::instance()->storeLogin(email, envelope.data.value(QStringLiteral("nickname")).toString(),
                                                token);
        }
    }
    emit sigRequestFinished(envelope.code, codeMessage(envelope.code));
}
