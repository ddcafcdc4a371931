#pragma once

#include "online/KNetBase.h"

#include <QString>

// Asks where the account's backup archive lies: a non-empty type (the device name) the profile archive of that
// device (endpoint 10), an empty type the macro archive (endpoint 11). One result per request through
// sigDownloadRequest: the server's code and "data"."filePath" (empty when no backup is stored), or -1 with an
// empty path at a transport error or the time-out.
//
// Threads: GUI thread only.
class KNetDownloadConfig : public KNetBase
{
    Q_OBJECT
public:
    explicit KNetDownloadConfig(QObject* parent = nullptr);

    Q_INVOKABLE void downloadConfig(QString type = QString());

signals:
    void sigDownloadRequest(int code, QString msg, QString path);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;
};
