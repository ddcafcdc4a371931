#pragma once

#include "online/KNetBase.h"

// Sets a new password with the verified code (QML type "KNetForgotNewPwd" of "k.tools"); the result comes through sigRequestFinished.
//
// Threads: GUI thread only.
class KNetForgotNewPwd : public KNetBase
{
    Q_OBJECT
public:
    explicit KNetForgotNewPwd(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void setNewPwd(QString email, QString captcha, QString password);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
