#pragma once

#include "online/KNetBase.h"

// Changes the logged-in user's password; a transport error starts no online check (QML type "KNetUpdatePwd" of
// "k.tools"); the result comes through sigRequestFinished. A blank old or new password is answered with the
// server's own code for it, without a request.
//
// Threads: GUI thread only.
class KNetUpdatePwd : public KNetBase
{
    Q_OBJECT
public:
    // The server's code for a blank password.
    static constexpr int kBlankPassword = 10014;

    explicit KNetUpdatePwd(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void updatePwd(QString currentPwd, QString newPwd);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
