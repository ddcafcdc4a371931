#include "online/analytics/GAnalytics.h"

#include "common/StoredTimeFormat.h"
#include "online/analytics/GAnalyticsPrivate.h"

#include <QDataStream>
#include <QDebug>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSysInfo>

namespace {

QUrl& collectUrlSetting()
{
    static QUrl url(QStringLiteral("https://analytics.corvane.com/collect"));
    return url;
}


} // namespace

QUrl GAnalytics::collectUrl() { return collectUrlSetting(); }

void GAnalytics::setCollectUrl(const QUrl& url) { collectUrlSetting() = url; }

GAnalytics::GAnalytics(QObject* parent)
    : QObject(parent)
    , d(new Private(this))
{
}

GAnalytics::GAnalytics(const QString& trackingID, QObject* parent)
    : GAnalytics(parent)
{
    setTrackingID(trackingID);
}

GAnalytics::~GAnalytics()
{
    qDebug() << "~GAnalytics";
    delete d;
}

// --- properties -------------------------------------------------------------------------------------------

GAnalytics::LogLevel GAnalytics::logLevel() const { return d->logLevel; }

void GAnalytics::setLogLevel(LogLevel logLevel)
{
    if (d->logLevel == logLevel)
        return;
    d->logLevel = logLevel;
    emit logLevelChanged();
}

QString GAnalytics::viewportSize() const { return d->viewportSize; }

void GAnalytics::setViewportSize(const QString& viewportSize)
{
    if (d->viewportSize == viewportSize)
        return;
    d->viewportSize = viewportSize;
    emit viewportSizeChanged();
}

QString GAnalytics::language() const { return d->language; }

void GAnalytics::setLanguage(const QString& language)
{
    if (d->language == language)
        return;
    d->language = language;
    emit languageChanged();
}

QString GAnalytics::trackingID() const { return d->trackingID; }

void GAnalytics::setTrackingID(const QString& trackingID)
{
    if (d->trackingID == trackingID)
        return;
    d->trackingID = trackingID;
    emit trackingIDChanged();
}

QString GAnalytics::userID() const
{
    bool created = false;
    return d->loadId(QLatin1String(Private::kUserIdKey), d->userID, &created);
}

void GAnalytics::setUserID(const QString& userID)
{
    if (d->userID == userID)
        return;
    d->storeId(QLatin1String(Private::kUserIdKey), userID);
    emit userIDChanged();
}

int GAnalytics::sendInterval() const { return d->timer.interval(); }

void GAnalytics::setSendInterval(int milliseconds)
{
    if (d->timer.interval() == milliseconds)
        return;
    d->timer.setInterval(milliseconds);
    emit sendIntervalChanged();
}

bool GAnalytics::isSending() const { return d->paused; }

// --- sending control --------------------------------------------------------------------------------------

void GAnalytics::start()
{
    d->started = true;
    // Paused only stands for "stopped": a started tracker is not, or sendNow would stay dead until a failure.
    d->setPaused(false);
    d->timer.start(kStartedInterval);
}

void GAnalytics::stop()
{
    d->started = false;
    d->timer.stop();
}

void GAnalytics::sendNow()
{
    if (!d->paused)
        emit d->postNextMessage();
}

void GAnalytics::setAgentField(const QString& agent) { d->agentField = agent; }

void GAnalytics::refreshHeaders()
{
    d->request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    d->request.setHeader(QNetworkRequest::UserAgentHeader, d->buildUserAgent());
}

QString GAnalytics::clientID() const { return d->clientID; }

void GAnalytics::setClientID(const QString& clientID)
{
    d->storeId(QLatin1String(Private::kClientIdKey), clientID);
    d->logMessage(Info, QStringLiteral("set cid ") + clientID);
}

void GAnalytics::setDataSource(const QString& dataSource) { d->dataSource = dataSource; }

QString GAnalytics::dataSource() const { return d->dataSource; }

void GAnalytics::setNetworkManager(QNetworkAccessManager* networkManager)
{
    if (d->networkManager == networkManager)
        return;
    // A manager of the tracker's own goes; one lent by someone else (the QML engine's) stays theirs.
    if (d->networkManager && (d->networkManager->parent() == this || d->networkManager->parent() == d))
        d->networkManager->deleteLater();
    d->networkManager = networkManager;
}

QNetworkAccessManager* GAnalytics::networkManager() const { return d->networkManager; }

QString GAnalytics::userAgent() const
{
    return d->request.header(QNetworkRequest::UserAgentHeader).toString();
}

int GAnalytics::queuedHits() const { return d->messageQueue.size(); }

QString GAnalytics::operatingSystemText()
{
    return QStringLiteral("Linux; ") + QSysInfo::prettyProductName();
}

QString GAnalytics::windowsSystemText(WindowsVersion version)
{
    static const struct {
        WindowsVersion version;
        const char* name;
    } kNames[] = {
        {WindowsVersion::Win95, "Win 95"},
        {WindowsVersion::Win98, "Win 98"},
        {WindowsVersion::WinMe, "Win ME"},
        {WindowsVersion::WinNT4, "Win NT"},
        {WindowsVersion::Win2000, "Windows NT 5.0"},
        {WindowsVersion::WinXP, "Windows NT 5.1"},
        {WindowsVersion::Win2003, "Win Server 2003"},
        {WindowsVersion::WinVista, "Windows NT 6.0"},
        {WindowsVersion::Win7, "Windows NT 6.1"},
        {WindowsVersion::Win8, "Windows NT 6.2"},
        {WindowsVersion::Win81, "Windows NT 6.2"},
        {WindowsVersion::Win10, "Windows NT 10.0"},
    };
    for (const auto& entry : kNames) {
        if (entry.version == version)
            return QStringLiteral("Windows; ") + QLatin1String(entry.name);
    }
    return QStringLiteral("Windows; unknown");
}

void GAnalytics::classBegin()
{
    if (QQmlContext* context = QQmlEngine::contextForObject(this))
        setNetworkManager(context->engine()->networkAccessManager());
}

void GAnalytics::componentComplete() {}

// --- hit builders -----------------------------------------------------------------------------------------

void GAnalytics::sendPageView(const QString& pageName, const QVariantMap& customValues)
{
    d->logMessage(Info, QStringLiteral("pageview: %1").arg(pageName));
    QUrlQuery query = d->buildStandardPostQuery(QStringLiteral("pageview"));
    query.addQueryItem(QStringLiteral("cd"), pageName);
    query.addQueryItem(QStringLiteral("an"), d->appName);
    query.addQueryItem(QStringLiteral("av"), d->appVersion);
    if (!pageName.isEmpty()) {
        query.addQueryItem(QStringLiteral("dp"), pageName);
        query.addQueryItem(QStringLiteral("dt"), pageName);
    }
    d->appendCustomValues(query, customValues);
    d->enqueQueryWithCurrentTime(query);
}

void GAnalytics::sendPageView(const QString& pageName)
{
    sendPageView(pageName, QVariantMap());
}

void GAnalytics::sendUIEvent(const QString& action, const QString& label, const QString& screenName)
{
    sendEvent(QStringLiteral("UI事件"), action, label, QVariant(screenName));
}

void GAnalytics::sendOperationEvent(const QString& action, const QString& label, const QString& forhead)
{
    const QString fullAction = forhead.isEmpty() ? action : action + QLatin1Char('_') + forhead;
    // An empty text is still a value: "ev" goes out, empty.
    sendEvent(QStringLiteral("操作事件"), fullAction, fullAction + QLatin1Char('_') + label, QVariant(QString()));
}

void GAnalytics::sendEvent(const QString& category, const QString& action, const QString& label,
                           const QVariant& value, const QVariantMap& customValues)
{
    if (!d->started)
        return;
    d->logMessage(Info, QStringLiteral("event: %1-%2-%3").arg(category, action, label));
    QUrlQuery query = d->buildStandardPostQuery(QStringLiteral("event"));
    query.addQueryItem(QStringLiteral("an"), d->appName);
    query.addQueryItem(QStringLiteral("av"), d->appVersion);
    query.addQueryItem(QStringLiteral("ec"), category);
    query.addQueryItem(QStringLiteral("ea"), action);
    if (!label.isEmpty())
        query.addQueryItem(QStringLiteral("el"), label);
    if (value.isValid())
        query.addQueryItem(QStringLiteral("ev"), value.toString());
    d->appendCustomValues(query, customValues);
    d->enqueQueryWithCurrentTime(query);
}

void GAnalytics::sendEvent(const QString& category, const QString& action, const QString& label,
                           const QVariant& value)
{
    sendEvent(category, action, label, value, QVariantMap());
}

void GAnalytics::sendEvent(const QString& category, const QString& action, const QString& label)
{
    sendEvent(category, action, label, QVariant(), QVariantMap());
}

void GAnalytics::sendEvent(const QString& category, const QString& action)
{
    sendEvent(category, action, QString(), QVariant(), QVariantMap());
}

void GAnalytics::sendException(const QString& exceptionDescription, bool exceptionFatal,
                               const QVariantMap& customValues)
{
    QUrlQuery query = d->buildStandardPostQuery(QStringLiteral("exception"));
    query.addQueryItem(QStringLiteral("an"), d->appName);
    query.addQueryItem(QStringLiteral("av"), d->appVersion);
    query.addQueryItem(QStringLiteral("exd"), exceptionDescription);
    query.addQueryItem(QStringLiteral("exf"), exceptionFatal ? QStringLiteral("1") : QStringLiteral("0"));
    d->appendCustomValues(query, customValues);
    d->enqueQueryWithCurrentTime(query);
}

void GAnalytics::sendException(const QString& exceptionDescription, bool exceptionFatal)
{
    sendException(exceptionDescription, exceptionFatal, QVariantMap());
}

void GAnalytics::sendException(const QString& exceptionDescription)
{
    sendException(exceptionDescription, true, QVariantMap());
}

void GAnalytics::startSession()
{
    sendEvent(QStringLiteral("Session"), QStringLiteral("Start"), QString(), QVariant(),
              QVariantMap{{QStringLiteral("sc"), QStringLiteral("start")}});
}

void GAnalytics::endSession()
{
    sendEvent(QStringLiteral("Session"), QStringLiteral("End"), QString(), QVariant(),
              QVariantMap{{QStringLiteral("sc"), QStringLiteral("end")}});
}

// --- the queue, saved and restored ------------------------------------------------------------------------

QDataStream& operator<<(QDataStream& outStream, const GAnalytics& analytics)
{
    QStringList pairs;
    {
        QMutexLocker lock(&analytics.d->messageQueueMutex);
        for (const GAnalytics::Private::QueuedHit& hit : qAsConst(analytics.d->messageQueue))
            pairs << hit.query.toString() << hit.time.toString(QLatin1String(kStoredTimeFormat));
    }
    outStream << pairs;
    return outStream;
}

QDataStream& operator>>(QDataStream& inStream, GAnalytics& analytics)
{
    QStringList pairs;
    inStream >> pairs;
    for (int i = 0; i + 1 < pairs.size(); i += 2) {
        const QString& query = pairs.at(i);
        const QString& time = pairs.at(i + 1);
        if (query.isEmpty() || time.isEmpty())
            break;
        analytics.d->enqueue({QUrlQuery(query), QDateTime::fromString(time, QLatin1String(kStoredTimeFormat))});
    }
    return inStream;
}
