#pragma once

#include "online/KNetBase.h"

#include <QString>

class QFile;

// Uploads one cloud archive (endpoint 7) as a multipart form with exactly one file part:
//
//   Authorization: <stored token, UTF-8; the header is there, empty, without one>
//   Content-Disposition: form-data; name="file"; filename="LocalFile.zip"     (a profile archive)
//                                                filename="MacroFile.zip"     (a macro archive)
//
// and no Content-Type of its own. The request carries only the URL: neither "lang" nor the JSON Content-Type
// of the other clients. The archive is read whole before the send (it must be smaller than kMaxArchiveBytes),
// so the file may be closed or removed as soon as the call returns. One result per upload through
// sigUploadFileRet: the server's code and "data"."filePath", or -1 at a transport error or the time-out.
//
// Threads: GUI thread only.
class KNetUploadConfig : public KNetBase
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxArchiveBytes = 1048576;
    static constexpr int kUploadTimeoutMs = 5000;

    explicit KNetUploadConfig(QObject* parent = nullptr);

    // Sends the rest of the open file: state true a profile archive, false a macro archive. False, and nothing
    // sent, when the file is not open for reading, cannot be read, is empty or holds kMaxArchiveBytes or more.
    Q_INVOKABLE bool uploadCurrentConfig(QFile* file, bool state);

    // Tests: 0 puts the default back.
    void setUploadTimeout(int ms) { m_uploadTimeoutMs = ms > 0 ? ms : kUploadTimeoutMs; }

signals:
    void sigUploadFileRet(int code, QString msg, QString path);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;

private:
    int m_uploadTimeoutMs = kUploadTimeoutMs;
};
