#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QObject>
#include <QString>

class QHttpMultiPart;
class QNetworkReply;

// The base of every REST client: one network manager and one request whose headers the subclass sets; each
// send replaces only the URL. Every reply is read as it arrives, up to kMaxReplyBody (ReplyGuard: a larger
// answer is aborted), and handed to handleReply once when it ended, then deleted; the handler must not keep the
// reply. The body handed on is empty unless the answer came whole with HTTP 2xx: a redirect or an error status
// is a failure whatever it says.
//
// Threads: GUI thread only; replies arrive through its event loop.
class KBaseApi : public QObject
{
    Q_OBJECT
public:
    // Larger reply bodies are aborted: the handler sees an empty body.
    static constexpr qint64 kMaxReplyBody = 4 * 1024 * 1024;

    explicit KBaseApi(QObject* parent = nullptr);
    ~KBaseApi() override;

signals:
    void stopTimer();

public slots:
    void serviceRequestFinished(QNetworkReply* reply);

protected:
    QNetworkRequest* getRequest() { return &request; }
    QNetworkReply* get(const QString& url);
    QNetworkReply* post(const QString& url, const QByteArray& body);
    QNetworkReply* post(const QString& url, QHttpMultiPart* parts);
    // A multipart post on a request of the caller's own (the shared request's headers stay off it).
    QNetworkReply* post(const QNetworkRequest& ownRequest, QHttpMultiPart* parts);
    // True when the reply was already answered (its time-out); the dispatch then only deletes it.
    virtual bool replyAnswered(QNetworkReply* reply) const;
    virtual void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) = 0;

    QNetworkAccessManager manager;
    QNetworkRequest request;

private:
    QNetworkReply* watch(QNetworkReply* reply);

    int m_inFlight = 0;
};
