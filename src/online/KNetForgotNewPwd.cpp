#include "online/KNetForgotNewPwd.h"

void KNetForgotNewPwd::setNewPwd(QString email, QString captcha, QString password)
{
    postJson(NewPassword, QJsonObject{{"email", email}, {"captcha", captcha}, {"password", password}});
}

void KNetForgotNewPwd::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    reportReply(reply, body);
}
