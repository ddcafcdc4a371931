#pragma once

#include <QObject>
#include <QQmlParserStatus>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

class QDataStream;
class QNetworkAccessManager;

// The usage-analytics tracker: page views, events, exceptions and session marks become hits of the
// Measurement Protocol (version 1), queued with the time they were made and posted one at a time,
// form-encoded, to the collection endpoint. An anonymous client id and user id live in "system/mouse.ini"
// under the program's configuration folder. The program holds one tracker (analyticsInstance, driven by
// HAnalytics); nothing else talks to it.
//
// Sending: nothing goes out until start(). Then the send timer posts the oldest hit at each tick and every
// accepted hit sends the next at once; only one post is on its way at a time. A hit the server accepts (2xx)
// leaves the queue; one it answers otherwise without a transport error (a redirect) is tried again at a later
// tick; a transport failure or an HTTP error status drops it. A hit older than ten minutes at its turn is
// dropped unsent. Events made while the tracker is stopped are dropped; page views and exceptions wait.
//
// Threads: GUI thread only (timer, replies and builders). State and network work sit in GAnalytics::Private.
class GAnalytics : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(LogLevel logLevel READ logLevel WRITE setLogLevel NOTIFY logLevelChanged)
    Q_PROPERTY(QString viewportSize READ viewportSize WRITE setViewportSize NOTIFY viewportSizeChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(QString trackingID READ trackingID WRITE setTrackingID NOTIFY trackingIDChanged)
    Q_PROPERTY(QString userID READ userID WRITE setUserID NOTIFY userIDChanged)
    Q_PROPERTY(int sendInterval READ sendInterval WRITE setSendInterval NOTIFY sendIntervalChanged)
    // Reads the paused flag: true once a post found the tracker stopped (the send timer is stopped then).
    Q_PROPERTY(bool isSending READ isSending NOTIFY isSendingChanged)

public:
    // A line of level L is logged when the tracker's level is at most L.
    enum LogLevel { Debug = 0, Info = 1, Error = 2, None = 3 };
    Q_ENUM(LogLevel)

    // The Windows versions the operating-system text names (the program's own table; on Linux the text names
    // the distribution).
    enum class WindowsVersion { Win95, Win98, WinMe, WinNT4, Win2000, WinXP, Win2003, WinVista, Win7, Win8, Win81,
                                Win10, Other };

    // Where hits are posted. A setting of the program (https by default); set it before the tracker is made.
    static QUrl collectUrl();
    static void setCollectUrl(const QUrl& url);

    // The send period while started (start() sets it) and the age beyond which a queued hit is dropped.
    static constexpr int kStartedInterval = 30000;
    static constexpr qint64 kMaxHitAgeMs = 600000;

    explicit GAnalytics(QObject* parent = nullptr);
    GAnalytics(const QString& trackingID, QObject* parent = nullptr);
    ~GAnalytics() override;

    LogLevel logLevel() const;
    void setLogLevel(LogLevel logLevel);
    QString viewportSize() const;
    void setViewportSize(const QString& viewportSize);
    QString language() const;
    void setLanguage(const QString& language);
    QString trackingID() const;
    void setTrackingID(const QString& trackingID);
    // The user id as the id file holds it (the one in memory is written there when the file has none). A new
    // value goes to the file; hits keep the id read at construction until the next run.
    QString userID() const;
    void setUserID(const QString& userID);
    int sendInterval() const;
    void setSendInterval(int milliseconds);
    bool isSending() const;

    void start();
    void stop();
    // An immediate send attempt, unless paused.
    void sendNow();
    // The device part of the User-Agent (after the application name); used from the next refreshHeaders().
    void setAgentField(const QString& agent);
    void refreshHeaders();
    // The id sent with hits. setClientID writes a new one to the id file for the next run.
    QString clientID() const;
    void setClientID(const QString& clientID);
    void setDataSource(const QString& dataSource);
    QString dataSource() const;
    void setNetworkManager(QNetworkAccessManager* networkManager);
    QNetworkAccessManager* networkManager() const;

    // What the hits and the User-Agent say (tests read them too).
    QString userAgent() const;
    int queuedHits() const;
    static QString operatingSystemText();
    static QString windowsSystemText(WindowsVersion version);

    void classBegin() override;
    void componentComplete() override;

public slots:
    void sendPageView(const QString& pageName, const QVariantMap& customValues);
    void sendPageView(const QString& pageName);
    void sendUIEvent(const QString& action, const QString& label, const QString& screenName);
    void sendOperationEvent(const QString& action, const QString& label, const QString& forhead);
    void sendEvent(const QString& category, const QString& action, const QString& label, const QVariant& value,
                   const QVariantMap& customValues);
    void sendEvent(const QString& category, const QString& action, const QString& label, const QVariant& value);
    void sendEvent(const QString& category, const QString& action, const QString& label);
    void sendEvent(const QString& category, const QString& action);
    void sendException(const QString& exceptionDescription, bool exceptionFatal, const QVariantMap& customValues);
    void sendException(const QString& exceptionDescription, bool exceptionFatal);
    void sendException(const QString& exceptionDescription);
    void startSession();
    void endSession();

signals:
    void logLevelChanged();
    void viewportSizeChanged();
    void languageChanged();
    void trackingIDChanged();
    void userIDChanged();
    void sendIntervalChanged();
    void isSendingChanged(bool isSending);

private:
    class Private;
    Private* d;

    friend QDataStream& operator<<(QDataStream& outStream, const GAnalytics& analytics);
    friend QDataStream& operator>>(QDataStream& inStream, GAnalytics& analytics);
};

// The queue, saved and restored: one string list of (query, time) pairs, the time as the stored-time format.
QDataStream& operator<<(QDataStream& outStream, const GAnalytics& analytics);
QDataStream& operator>>(QDataStream& inStream, GAnalytics& analytics);
