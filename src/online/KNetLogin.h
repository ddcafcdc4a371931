#pragma once

#include "online/KNetBase.h"

// Logs the user in (QML type "KNetLogin" of "k.tools"). Only a reply with code 0 stores the user name (the
// e-mail of the latest call), the nickname, the token from the reply's "Authorization" header (any spelling)
// and the logged-in flag; a refused or failed login changes no setting.
//
// Threads: GUI thread only.
class KNetLogin : public KNetBase
{
    Q_OBJECT
public:
    explicit KNetLogin(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void login(QString email, QString password);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;

private:
    QString email;
};
