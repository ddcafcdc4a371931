#include "online/KNetRegister.h"

void KNetRegister::registerUser(QString nickName, QString email, QString password, QString rePassword)
{
    postJson(Register, QJsonObject{{"nickname", nickName}, {"email", email}, {"password", password}, {"rePassword", rePassword}});
}

void KNetRegister::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    reportReply(reply, body);
}
