#pragma once

#include "online/KNetBase.h"

// Checks the mailed verification code (QML type "KNetForgotVerifyCode" of "k.tools"); the result comes through sigRequestFinished.
//
// Threads: GUI thread only.
class KNetForgotVerifyCode : public KNetBase
{
    Q_OBJECT
public:
    explicit KNetForgotVerifyCode(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void verify(QString email, QString code);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
