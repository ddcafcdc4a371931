#include "online/KBaseApi.h"

#include "online/ReplyGuard.h"

#include <QDebug>
#include <QHttpMultiPart>
#include <QNetworkReply>
#include <QUrl>

KBaseApi::KBaseApi(QObject* parent) : QObject(parent) {}

KBaseApi::~KBaseApi() = default;

QNetworkReply* KBaseApi::get(const QString& url)
{
    request.setUrl(QUrl(url));
    ++m_inFlight;
    return watch(manager.get(request));
}

QNetworkReply* KBaseApi::post(const QString& url, const QByteArray& body)
{
    request.setUrl(QUrl(url));
    ++m_inFlight;
    return watch(manager.post(request, body));
}

QNetworkReply* KBaseApi::post(const QString& url, QHttpMultiPart* parts)
{
    request.setUrl(QUrl(url));
    ++m_inFlight;
    return watch(manager.post(request, parts));
}

QNetworkReply* KBaseApi::post(const QNetworkRequest& ownRequest, QHttpMultiPart* parts)
{
    ++m_inFlight;
    return watch(manager.post(ownRequest, parts));
}

QNetworkReply* KBaseApi::watch(QNetworkReply* reply)
{
    // Read as it arrives, up to the cap; the guard's one end is the reply's dispatch.
    ReplyGuard::Limits limits = ReplyGuard::limits(ReplyGuard::Kind::Api);
    limits.maxBytes = qMin(limits.maxBytes, kMaxReplyBody);
    ReplyGuard* guard = ReplyGuard::watch(reply, limits);
    connect(guard, &ReplyGuard::finished, this, [this, reply] { serviceRequestFinished(reply); });
    return reply;
}

bool KBaseApi::replyAnswered(QNetworkReply* reply) const
{
    (void)reply;
    return false;
}

void KBaseApi::serviceRequestFinished(QNetworkReply* reply)
{
    emit stopTimer();
    if (!replyAnswered(reply)) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        // Only a whole answer of HTTP 2xx within the cap is read as an answer; the handler sees an empty body
        // (no envelope) for every other.
        QByteArray body;
        if (ReplyGuard* guard = reply->findChild<ReplyGuard*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (guard->succeeded())
                body = guard->takeBody();
            else
                qDebug().noquote() << "[Error] request failed:" << guard->describe();
        }
        handleReply(reply, body, status);
    }
    // Clearing the cache under a request still in flight strands that request: clear when the last is done.
    if (--m_inFlight <= 0) {
        m_inFlight = 0;
        manager.clearAccessCache();
    }
    reply->deleteLater();
}
