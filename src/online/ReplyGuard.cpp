#include "online/ReplyGuard.h"

#include <QDebug>
#include <QHash>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

qint64 g_highestHeld = 0;

QHash<int, ReplyGuard::Limits>& overrides()
{
    static QHash<int, ReplyGuard::Limits> table;
    return table;
}

// "deadlineMs,windowMs" for every kind, in test runs only: a program a test starts cannot be reached otherwise.
bool environmentLimits(ReplyGuard::Limits* limits)
{
    if (!qEnvironmentVariableIsSet("CORVANE_TEST") || !qEnvironmentVariableIsSet("CORVANE_TRANSFER_LIMITS"))
        return false;
    const QList<QByteArray> fields = qgetenv("CORVANE_TRANSFER_LIMITS").split(',');
    bool deadlineOk = false;
    bool windowOk = false;
    const int deadline = fields.value(0).toInt(&deadlineOk);
    const int window = fields.value(1).toInt(&windowOk);
    if (!deadlineOk || !windowOk || deadline <= 0 || window < 0)
        return false;
    limits->deadlineMs = deadline;
    limits->windowMs = window;
    return true;
}

} // namespace

ReplyGuard::Limits ReplyGuard::defaults(Kind kind)
{
    constexpr qint64 MiB = 1024 * 1024;
    switch (kind) {
    case Kind::Api:
        // The web API's clients keep a time-out per request of their own.
        return {4 * MiB, 0, 0, 1};
    case Kind::Analytics: return {64 * 1024, 30000, 0, 1};
    case Kind::Archive: return {16 * MiB, 5 * 60000, 30000, 1024};
    case Kind::Firmware: return {64 * MiB, 10 * 60000, 30000, 1024};
    case Kind::Installer: return {1024 * MiB, 60 * 60000, 30000, 4096};
    }
    return {4 * MiB, 60000, 30000, 1};
}

ReplyGuard::Limits ReplyGuard::limits(Kind kind)
{
    if (overrides().contains(int(kind)))
        return overrides().value(int(kind));
    Limits limits = defaults(kind);
    if (kind != Kind::Api)
        environmentLimits(&limits);
    return limits;
}

void ReplyGuard::overrideLimits(Kind kind, const Limits& limits)
{
    overrides().insert(int(kind), limits);
}

void ReplyGuard::resetLimits()
{
    overrides().clear();
}

ReplyGuard* ReplyGuard::watch(QNetworkReply* reply, const Limits& limits, QIODevice* sink, bool discard)
{
    return reply ? new ReplyGuard(reply, limits, sink, discard) : nullptr;
}

ReplyGuard::ReplyGuard(QNetworkReply* reply, const Limits& limits, QIODevice* sink, bool discard)
    : QObject(reply)
    , m_reply(reply)
    , m_limits(limits)
    , m_sink(sink)
    , m_discard(discard)
{
    // Qt stops reading the socket while this much waits: what a server sends beyond it stays in the network.
    // Qt hands the size to its network thread only once the request has started there, which for some requests
    // is after this: it is set again once the request runs and when the answer's head has come.
    reply->setReadBufferSize(kReadBuffer);
    QTimer::singleShot(0, this, [this] {
        if (m_reply && !m_reply->isFinished())
            m_reply->setReadBufferSize(kReadBuffer);
    });
    connect(reply, &QIODevice::readyRead, this, &ReplyGuard::readAvailable);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
        m_reply->setReadBufferSize(kReadBuffer);
        // A body announced larger than the cap is not waited for.
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (m_limits.maxBytes > 0 && length.isValid() && length.toLongLong() > m_limits.maxBytes)
            stop(Failure::TooLarge);
    });
    connect(reply, &QNetworkReply::finished, this, &ReplyGuard::onFinished);
    if (m_limits.deadlineMs > 0) {
        m_deadline = new QTimer(this);
        m_deadline->setSingleShot(true);
        connect(m_deadline, &QTimer::timeout, this, [this] { stop(Failure::Deadline); });
        m_deadline->start(m_limits.deadlineMs);
    }
    if (m_limits.windowMs > 0) {
        m_window = new QTimer(this);
        connect(m_window, &QTimer::timeout, this, &ReplyGuard::onWindow);
        m_window->start(m_limits.windowMs);
    }
    if (reply->isFinished())
        QTimer::singleShot(0, this, &ReplyGuard::onFinished);
}

qint64 ReplyGuard::highestHeld()
{
    return g_highestHeld;
}

void ReplyGuard::resetHighestHeld()
{
    g_highestHeld = 0;
}

void ReplyGuard::noteHeld(qint64 held)
{
    m_peakHeld = qMax(m_peakHeld, held);
    g_highestHeld = qMax(g_highestHeld, held);
}

QByteArray ReplyGuard::takeBody()
{
    QByteArray body;
    body.swap(m_body);
    return body;
}

void ReplyGuard::readAvailable()
{
    if (m_done || !m_reply || m_failure != Failure::None || !m_reply->isReadable())
        return;
    noteHeld(qint64(m_body.size()) + m_reply->bytesAvailable());
    while (m_reply->bytesAvailable() > 0) {
        const qint64 room = m_limits.maxBytes > 0 ? m_limits.maxBytes - m_received : kReadBuffer;
        if (room <= 0) {
            stop(Failure::TooLarge);
            return;
        }
        const QByteArray chunk = m_reply->read(qMin(room, kReadBuffer));
        if (chunk.isEmpty())
            break;
        m_received += chunk.size();
        if (m_head.size() < kHeadBytes)
            m_head += chunk.left(kHeadBytes - m_head.size());
        if (m_sink) {
            if (m_sink->write(chunk) != chunk.size()) {
                stop(Failure::WriteFailed);
                return;
            }
        } else if (!m_discard) {
            m_body += chunk;
        }
        noteHeld(qint64(m_body.size()) + m_reply->bytesAvailable());
    }
}

void ReplyGuard::onWindow()
{
    if (m_done)
        return;
    if (m_received - m_receivedAtWindow < m_limits.floorBytes) {
        stop(Failure::TooSlow);
        return;
    }
    m_receivedAtWindow = m_received;
}

void ReplyGuard::stop(Failure why)
{
    if (m_done || m_failure != Failure::None)
        return;
    m_failure = why;
    qDebug().noquote() << "[Error] transfer stopped:" << describe(why)
                       << (m_reply ? m_reply->url().toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery)
                                   : QString());
    if (m_reply)
        m_reply->abort(); // its finished() ends the watch
}

void ReplyGuard::onFinished()
{
    if (m_done || !m_reply)
        return;
    if (m_failure == Failure::None)
        readAvailable(); // what came with the end
    // An answer that is still larger after the last read is over the cap.
    if (m_failure == Failure::None && m_reply->bytesAvailable() > 0)
        m_failure = Failure::TooLarge;
    m_done = true;
    if (m_deadline)
        m_deadline->stop();
    if (m_window)
        m_window->stop();
    m_status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_failure == Failure::None && m_reply->error() != QNetworkReply::NoError)
        m_failure = Failure::Transport;
    if (m_failure == Failure::None && (m_status < 200 || m_status > 299))
        m_failure = Failure::HttpStatus;
    if (m_failure != Failure::None)
        m_body.clear();
    emit finished();
}

QString ReplyGuard::describe(Failure failure)
{
    switch (failure) {
    case Failure::None: return QStringLiteral("none");
    case Failure::Transport: return QStringLiteral("transport error");
    case Failure::HttpStatus: return QStringLiteral("HTTP status not 2xx");
    case Failure::TooLarge: return QStringLiteral("answer over its size limit");
    case Failure::Deadline: return QStringLiteral("transfer past its deadline");
    case Failure::TooSlow: return QStringLiteral("transfer below its progress floor");
    case Failure::WriteFailed: return QStringLiteral("file write failed");
    }
    return QString();
}

QString ReplyGuard::describe() const
{
    QString text = describe(m_failure);
    if (m_failure == Failure::Transport && m_reply)
        text += QStringLiteral(": ") + m_reply->errorString();
    if (m_failure == Failure::HttpStatus)
        text += QStringLiteral(": ") + QString::number(m_status);
    return text;
}
