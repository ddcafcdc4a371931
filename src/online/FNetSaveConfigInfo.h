#pragma once

#include "online/KNetBase.h"

#include <QString>

// Tells the server to keep an uploaded archive as the account's backup: configType true the profile archive
// of the device named mouseType (endpoint 8), false the macro archive (endpoint 9, mouseType empty). One
// result per request through sigRequestFinished: the server's code, or -1 with the network message at a
// transport error or the time-out.
//
// Threads: GUI thread only.
class FNetSaveConfigInfo : public KNetBase
{
    Q_OBJECT
public:
    explicit FNetSaveConfigInfo(QObject* parent = nullptr) : KNetBase(parent) {}

    Q_INVOKABLE void configInfo(QString filePath, QString mouseType, bool configType);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
