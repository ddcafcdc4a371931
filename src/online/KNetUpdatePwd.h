#pragma once

#include "online/KNetBase.h"

// Changes the logged-in user's password; a transport error starts no online check (QML type "KNetUpdatePwd" of "k.tools"); the result comes through sigRequestFinished.
//
// Threads: GUI thread only.
class KNetUpdatePwd : public KNetBase
{
    Q_OBJECT
public:
    explicit KNetUpdatePwd(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void updatePwd(QString currentPwd, QString newPwd);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
