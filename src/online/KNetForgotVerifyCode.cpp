#include "online/KNetForgotVerifyCode.h"

void KNetForgotVerifyCode::verify(QString email, QString code)
{
    postJson(ValidatePassword, QJsonObject{{"email", email}, {"captcha", code}});
}

void KNetForgotVerifyCode::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    reportReply(reply, body);
}
