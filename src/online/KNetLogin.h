#pragma once

#include "online/KNetBase.h"

// Logs the user in (QML type "KNetLogin" of "k.tools"). Only a reply with code 0 stores the user name (the
// e-mail of the latest call), the nickname, the token from the reply's "Authorization" header (any spelling)
// and the logged-in flag; a refused or failed login changes no setting. A reply of code 0 without a token is
// reported as the failed login it is (kLoginFailed, "User login failed").
//
// Threads: GUI thread only.
class KNetLogin : public KNetBase
{
    Q_OBJECT
public:
    static constexpr int kLoginFailed = 10004;

    explicit KNetLogin(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void login(QString email, QString password);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;

private:
    QString email;
};
