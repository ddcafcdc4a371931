#pragma once

#include "online/KNetBase.h"

// Registers a new account (QML type "KNetRegister" of "k.tools"); the result comes through sigRequestFinished.
//
// Threads: GUI thread only.
class KNetRegister : public KNetBase
{
    Q_OBJECT
public:
    explicit KNetRegister(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void registerUser(QString nickName, QString email, QString password, QString rePassword);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
