#include "online/analytics/GAnalyticsPrivate.h"

#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "online/ReplyGuard.h"
#include "platform/sys/PlatformTime.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QScreen>
#include <QSettings>
#include <QUuid>

namespace {

// A post the server never answers ends as a transport failure after this long, so the queue moves on.
constexpr int kPostTimeoutMs = 60000;
// The Qt version the agent text names; the collection side groups hits by it.
const char kAgentQtVersion[] = "5.12.5";

QString screenResolutionText()
{
    QSize size(0, 0);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = app->primaryScreen())
            size = screen->size();
    }
    return QStringLiteral("%1x%2_%3")
        .arg(size.width())
        .arg(size.height())
        .arg(QString::number(static_cast<double>(AppServices::instance()->uiScale())));
}

} // namespace

GAnalytics::Private::Private(GAnalytics* parent)
    : QObject(parent)
    , q(parent)
{
    request.setUrl(GAnalytics::collectUrl());
    request.setTransferTimeout(kPostTimeoutMs);
    logLevel = GAnalytics::Error;

    bool created = false;
    clientID = loadId(QLatin1String(kClientIdKey), QString(), &created);
    logMessage(GAnalytics::Info, (created ? QStringLiteral("create cid ") : QStringLiteral("get cid ")) + clientID);
    qDebug().noquote() << QStringLiteral("IdPath:") + idFilePath();
    userID = loadId(QLatin1String(kUserIdKey), QString(), &created);
    qDebug().noquote() << (created ? QStringLiteral("create uid ") : QStringLiteral("get uid ")) + userID;

    dataSource = QStringLiteral("web");
    language = QLocale::system().name().toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
    screenResolution = screenResolutionText();
    appName = QCoreApplication::applicationName();
    appVersion = QCoreApplication::applicationVersion();
    agentField = AppServices::instance()->connectedModelName();
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setHeader(QNetworkRequest::UserAgentHeader, buildUserAgent());

    connect(this, &Private::postNextMessage, this, &Private::postMessage, Qt::DirectConnection);
    connect(&timer, &QTimer::timeout, this, &Private::postMessage);
    logMessage(GAnalytics::Info, QStringLiteral("init GAnalytics Private!"));
}

GAnalytics::Private::~Private()
{
    qDebug() << "~Private";
    logMessage(GAnalytics::Info, QStringLiteral("~Private"));
    // A post on its way goes with the tracker, and so does what it had received.
    if (QNetworkReply* reply = inFlight) {
        inFlight = nullptr;
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        delete reply;
    }
}

void GAnalytics::Private::logMessage(GAnalytics::LogLevel level, const QString& message) const
{
    if (logLevel > level)
        return;
    qDebug().noquote() << QStringLiteral("[Analytics]") + message;
}

QString GAnalytics::Private::idFilePath() const
{
    return ProgramFolders::configLocation() + QStringLiteral("/system/mouse.ini");
}

QString GAnalytics::Private::loadId(const QString& key, const QString& fallback, bool* created) const
{
    const QString path = idFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    QString id = settings.value(key).toString();
    *created = id.isEmpty();
    if (id.isEmpty()) {
        // A file that cannot be written keeps nothing: the id serves this run, the next makes its own.
        id = fallback.isEmpty() ? QUuid::createUuid().toString() : fallback;
        settings.setValue(key, id);
        settings.sync();
    }
    return id;
}

void GAnalytics::Private::storeId(const QString& key, const QString& id) const
{
    const QString path = idFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(key, id);
    settings.sync();
}

QString GAnalytics::Private::buildUserAgent() const
{
    const QString agent = QStringLiteral("%1/%2 (%3; %4) GAnalytics/1.0 (Qt/%5)")
                              .arg(appName + QLatin1Char('_') + agentField, appVersion,
                                   GAnalytics::operatingSystemText(), QLocale::system().name(),
                                   QLatin1String(kAgentQtVersion));
    qDebug().noquote() << QStringLiteral("-----------------:") + agent;
    return agent;
}

QUrlQuery GAnalytics::Private::buildStandardPostQuery(const QString& type) const
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("v"), QStringLiteral("1"));
    query.addQueryItem(QStringLiteral("tid"), trackingID);
    query.addQueryItem(QStringLiteral("cid"), clientID);
    if (!userID.isEmpty())
        query.addQueryItem(QStringLiteral("uid"), userID);
    query.addQueryItem(QStringLiteral("t"), type);
    query.addQueryItem(QStringLiteral("ul"), language);
    query.addQueryItem(QStringLiteral("ds"), dataSource);
    query.addQueryItem(QStringLiteral("vp"), viewportSize);
    query.addQueryItem(QStringLiteral("sr"), screenResolution);
    return query;
}

void GAnalytics::Private::appendCustomValues(QUrlQuery& query, const QVariantMap& customValues) const
{
    // A QVariantMap iterates in ascending key order.
    for (auto it = customValues.cbegin(); it != customValues.cend(); ++it)
        query.addQueryItem(it.key(), it.value().toString());
}

void GAnalytics::Private::enqueQueryWithCurrentTime(const QUrlQuery& query)
{
    enqueue({query, Platform::currentDateTime()});
}

void GAnalytics::Private::enqueue(const QueuedHit& hit)
{
    QMutexLocker lock(&messageQueueMutex);
    messageQueue.enqueue(hit);
}

void GAnalytics::Private::removeHead()
{
    QMutexLocker lock(&messageQueueMutex);
    if (!messageQueue.isEmpty())
        messageQueue.dequeue();
}

void GAnalytics::Private::setPaused(bool value)
{
    if (value)
        timer.stop();
    else
        timer.start();
    if (paused != value) {
        paused = value;
        emit q->isSendingChanged(value);
    }
}

void GAnalytics::Private::postMessage()
{
    if (inFlight)
        return; // the head hit is on its way; its answer decides what comes next
    if (!started || messageQueue.isEmpty()) {
        // A stopped tracker stops its timer; a started one with nothing to send keeps ticking.
        setPaused(!started);
        return;
    }

    // Hits too old at their turn are dropped unsent, one after the other.
    const QDateTime now = Platform::currentDateTime();
    while (!messageQueue.isEmpty() && messageQueue.head().time.msecsTo(now) > GAnalytics::kMaxHitAgeMs)
        removeHead();
    if (messageQueue.isEmpty()) {
        setPaused(!started);
        return;
    }

    const QByteArray connection = messageQueue.size() > 1 ? "keep-alive" : "close";
    QueuedHit hit = messageQueue.head();
    hit.query.addQueryItem(QStringLiteral("qt"), QString::number(hit.time.msecsTo(now)));
    request.setRawHeader("Connection", connection);

    // Fully encoded, and a "+" of a value too: a form decoder reads a bare "+" as a space.
    QByteArray body = hit.query.toString(QUrl::FullyEncoded).toUtf8();
    body.replace('+', "%2B");
    logMessage(GAnalytics::Info, QStringLiteral("send msg: ") + QString::fromUtf8(body));
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());

    if (!networkManager)
        networkManager = new QNetworkAccessManager(this);
    QNetworkReply* reply = networkManager->post(request, body);
    inFlight = reply;
    // The answer says nothing the tracker needs beyond its status: it is read as it comes and dropped, up to
    // the analytics cap and within its deadline.
    ReplyGuard::watch(reply, ReplyGuard::limits(ReplyGuard::Kind::Analytics), nullptr, true);
    connect(reply, &QNetworkReply::finished, this, &Private::postMessageFinished);
    connect(reply, &QNetworkReply::errorOccurred, this, &Private::postMessageError);
}

void GAnalytics::Private::postMessageFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    if (reply != inFlight)
        return;
    inFlight = nullptr;

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    logMessage(GAnalytics::Info, QStringLiteral("httpstatusCode: ") + QString::number(status));
    if (status < 200 || status > 299) {
        // Kept at the head and posted again at a later tick (unless the error above has dropped it).
        logMessage(GAnalytics::Error, QStringLiteral("Error posting message: ") + reply->errorString());
        setPaused(false);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        // Accepted, then broken off: postMessageError has dropped the hit already; dropping another would
        // lose one that was never sent.
        setPaused(false);
        return;
    }
    logMessage(GAnalytics::Debug, QStringLiteral("Message sent"));
    removeHead();
    emit postNextMessage();
}

void GAnalytics::Private::postMessageError(QNetworkReply::NetworkError error)
{
    Q_UNUSED(error);
    if (sender() != inFlight)
        return;
    logMessage(GAnalytics::Error, QStringLiteral("Error posting message: "));
    removeHead();
    setPaused(false);
}
