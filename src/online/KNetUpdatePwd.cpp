#include "online/KNetUpdatePwd.h"

void KNetUpdatePwd::updatePwd(QString currentPwd, QString newPwd)
{
    postJson(UpdatePassword, QJsonObject{{"password", currentPwd}, {"rePassword", newPwd}});
}

void KNetUpdatePwd::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    reportReply(reply, body, false);
}
