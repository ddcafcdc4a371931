#pragma once

#include "online/KNetBase.h"

// Asks the server to mail a verification code for a forgotten password (QML type "KNetForgotSendEmail" of "k.tools"); the result comes through sigRequestFinished.
//
// Threads: GUI thread only.
class KNetForgotSendEmail : public KNetBase
{
    Q_OBJECT
public:
    explicit KNetForgotSendEmail(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void sendEmail(QString email);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
