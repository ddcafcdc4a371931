#include "online/KNetUpdatePwd.h"

#include <QTimer>

void KNetUpdatePwd::updatePwd(QString currentPwd, QString newPwd)
{
    // A change without the old password (or without a new one) is refused here: nothing is sent. The answer
    // comes after the call returns, as a server's would.
    if (currentPwd.isEmpty() || newPwd.isEmpty()) {
        QTimer::singleShot(0, this, [this] { emit sigRequestFinished(kBlankPassword, codeMessage(kBlankPassword)); });
        return;
    }
    postJson(UpdatePassword, QJsonObject{{"password", currentPwd}, {"rePassword", newPwd}});
}

void KNetUpdatePwd::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    reportReply(reply, body, false);
}
