#pragma once

#include "online/ReplyGuard.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkReply;

// Fetches one URL into memory with a plain GET (no headers of its own) and tells its owner when it finished,
// success or failure alike: downloaded() once per download, the body in fileData(). succeeded() says whether
// that download was whole and an answer of HTTP 2xx; an error page, a body over the cap, a transfer past its
// deadline or below its progress floor (ReplyGuard) end as failed with no data. The limits are those of a
// firmware download unless the owner sets others; a new download replaces one still running, which then
// reports nothing.
//
// Threads: GUI thread only.
class FfileDownloader : public QObject
{
    Q_OBJECT
public:
    explicit FfileDownloader(QObject* parent);
    ~FfileDownloader() override;

    void startDownload(QString url);
    QByteArray fileData() const { return data; }
    bool succeeded() const { return m_succeeded; }
    // Why the last download failed, for the log; empty after a success.
    QString failure() const { return m_failure; }
    // The most bytes the last download held in memory at once (tests).
    qint64 peakHeld() const { return m_peakHeld; }

    ReplyGuard::Limits limits() const { return m_limits; }
    void setLimits(const ReplyGuard::Limits& limits) { m_limits = limits; }
    // The cap alone (the size a target file may have), the rest of the limits kept.
    void setMaxBody(qint64 maxBytes) { m_limits.maxBytes = maxBytes; }

signals:
    void downloaded();

private:
    void fileDownloaded(ReplyGuard* guard);
    // Aborts the running download without a report.
    void dropRunning();

    QNetworkAccessManager manager;
    QPointer<QNetworkReply> m_reply;
    QByteArray data;
    bool m_succeeded = false;
    QString m_failure;
    qint64 m_peakHeld = 0;
    ReplyGuard::Limits m_limits;
};
