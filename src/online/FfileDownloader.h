#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

class QNetworkReply;

// Fetches one URL into memory with a plain GET (no headers of its own) and tells its owner when it finished,
// success or failure alike: downloaded() once per finished reply, the body in fileData(). succeeded() says
// whether that reply was a download (no transport error, HTTP 2xx) and not an error page; a transfer that
// stalls past the transfer time-out or a body over the size limit ends as failed.
//
// Threads: GUI thread only.
class FfileDownloader : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTransferTimeoutMs = 30000;
    static constexpr qint64 kMaxBody = 256 * 1024 * 1024;

    explicit FfileDownloader(QObject* parent);
    ~FfileDownloader() override;

    void startDownload(QString url);
    QByteArray fileData() const { return data; }
    bool succeeded() const { return m_succeeded; }
    // Tests: 0 puts the defaults back.
    void setLimits(int transferTimeoutMs, qint64 maxBody);

signals:
    void downloaded();

private slots:
    void fileDownloaded(QNetworkReply* pReply);

private:
    QNetworkAccessManager manager;
    QByteArray data;
    bool m_succeeded = false;
    int m_transferTimeoutMs = kTransferTimeoutMs;
    qint64 m_maxBody = kMaxBody;
};
