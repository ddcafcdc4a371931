#include "online/KNetForgotSendEmail.h"

void KNetForgotSendEmail::sendEmail(QString email)
{
    postJson(FindPassword, QJsonObject{{"email", email}});
}

void KNetForgotSendEmail::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    reportReply(reply, body);
}
