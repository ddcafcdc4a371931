#pragma once

#include "online/analytics/GAnalytics.h"

#include <QDateTime>
#include <QMutex>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QQueue>
#include <QTimer>
#include <QUrlQuery>

class QNetworkAccessManager;

// The tracker's state and its network work: the queue of hits, the send timer, the request and the replies.
// A QObject of its own, so that it owns the timer and receives the reply signals.
//
// Threads: GUI thread only; the queue mutex is held around every insertion and removal.
class GAnalytics::Private : public QObject
{
    Q_OBJECT
public:
    struct QueuedHit {
        QUrlQuery query;
        QDateTime time; // local time of queuing
    };

    // The keys of the two ids in the id file.
    static constexpr char kClientIdKey[] = "GAnalytics-cid";
    static constexpr char kUserIdKey[] = "GAnalytics-uid";

    explicit Private(GAnalytics* parent);
    ~Private() override;

    GAnalytics* q;
    QNetworkAccessManager* networkManager = nullptr;
    QQueue<QueuedHit> messageQueue;
    QTimer timer;
    QNetworkRequest request;
    GAnalytics::LogLevel logLevel = GAnalytics::Error;
    QString trackingID;
    QString clientID;
    QString userID;
    QString appName;
    QString appVersion;
    QString language;
    QString screenResolution;
    QString viewportSize;
    QString dataSource;
    QString agentField;
    bool paused = false;
    bool started = false;
    QMutex messageQueueMutex;
    // The post on its way; a tick meanwhile waits for its answer, so no hit goes twice.
    QPointer<QNetworkReply> inFlight;

    void logMessage(GAnalytics::LogLevel level, const QString& message) const;
    QString idFilePath() const;
    // The id under key in the id file; when the file has none, fallback (or a new id when that is empty) is
    // stored and returned, and created says so.
    QString loadId(const QString& key, const QString& fallback, bool* created) const;
    void storeId(const QString& key, const QString& id) const;
    QString buildUserAgent() const;
    QUrlQuery buildStandardPostQuery(const QString& type) const;
    void appendCustomValues(QUrlQuery& query, const QVariantMap& customValues) const;
    void enqueQueryWithCurrentTime(const QUrlQuery& query);
    void enqueue(const QueuedHit& hit);
    void removeHead();
    void setPaused(bool paused);

signals:
    void postNextMessage();

public slots:
    void postMessage();
    void postMessageFinished();
    void postMessageError(QNetworkReply::NetworkError error);
};
