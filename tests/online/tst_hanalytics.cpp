#include "LocalHttpServer.h"
#include "RecordingServices.h"

#include "common/AnalyticsEvents.h"
#include "online/analytics/GAnalytics.h"
#include "online/analytics/HAnalytics.h"
#include "TestWait.h"

#include <QUrlQuery>
#include <QtTest>

// The facade over the process's one tracker. The tracker lives as long as this program, so the functions
// below run in order: the first makes it.
class tst_HAnalytics : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.1"));
        m_server.script("/collect", LocalHttpServer::Reply());
        GAnalytics::setCollectUrl(QUrl(m_server.url(QStringLiteral("/collect"))));
        // What the user signed in with: none of it may reach the analytics server.
        m_services.token = QStringLiteral("secret-session-token");
        m_services.storeLogin(QStringLiteral("ada@example.com"), QStringLiteral("Ada"), m_services.token);
    }

    // With the switch off nothing is set up, started or queued.
    void switchedOff()
    {
        m_services.modelName = QStringLiteral("ZEPHRA"); // connected when the tracker is made
        HAnalytics facade;
        facade.start();
        facade.setAgentInfo(QStringLiteral("OTHER"));
        facade.sendEvent(AnalyticsEvents::kDeviceReset, AnalyticsEvents::kReset, AnalyticsEvents::kFail);
        GAnalytics* tracker = analyticsInstance();
        QVERIFY(!facade.isInitialised());
        QCOMPARE(tracker->trackingID(), QString());
        QCOMPARE(tracker->queuedHits(), 0);
        QVERIFY(tracker->userAgent().startsWith("Corvane_ZEPHRA/1.2.1 ("));
        tracker->sendNow();
        QVERIFY(!m_server.waitForRequests(1, 200));
    }

    // On: set up once with the tracking id, started with its own period, events reach the server once each
    // and say nothing of the user. Off: stopped, events dropped. On again: started again, not set up again.
    void onOffOn()
    {
        m_services.analyticsSwitch = true;
        HAnalytics facade;
        GAnalytics* tracker = analyticsInstance();
        facade.start();
        QVERIFY(facade.isInitialised());
        QCOMPARE(tracker->trackingID(), QString(HAnalytics::kTrackingId));
        QCOMPARE(tracker->sendInterval(), GAnalytics::kStartedInterval);

        facade.setAgentInfo(QStringLiteral("KELHAM"));
        QVERIFY(tracker->userAgent().startsWith("Corvane_KELHAM/1.2.1 ("));
        facade.sendEvent(AnalyticsEvents::kDeviceDpi, AnalyticsEvents::kDpiValue, QStringLiteral("800"));
        facade.sendEvent(AnalyticsEvents::kDeviceInitialization, AnalyticsEvents::kInitDevice);
        tracker->sendNow();
        QVERIFY(m_server.waitForRequests(2));
        WAIT_COMPARE(tracker->queuedHits(), 0);
        QVERIFY(!m_server.waitForRequests(3, 200));

        const QStringList allowed{"v", "tid", "cid", "uid", "t", "ul", "ds", "vp", "sr", "an", "av", "ec", "ea",
                                  "el", "ev", "qt"};
        for (const LocalHttpServer::Request& request : m_server.requests()) {
            for (const QByteArray& secret : {QByteArray("secret-session-token"), QByteArray("ada%40example"), QByteArray("ada@example")})
                QVERIFY2(!request.body.contains(secret), request.body.constData());
            QCOMPARE(request.header("User-Agent").left(21), QByteArray("Corvane_KELHAM/1.2.1 "));
            for (const auto& field : QUrlQuery(QString::fromUtf8(request.body)).queryItems())
                QVERIFY2(allowed.contains(field.first), qPrintable(field.first));
        }
        const QUrlQuery first(QString::fromUtf8(m_server.requests().at(0).body));
        QCOMPARE(first.queryItemValue("tid"), QString(HAnalytics::kTrackingId));
        QCOMPARE(first.queryItemValue("el"), QString("800"));
        const QUrlQuery second(QString::fromUtf8(m_server.requests().at(1).body));
        QCOMPARE(second.queryItemValue("ec"), QString("device_initialization"));
        QVERIFY(!second.hasQueryItem("el"));

        m_services.analyticsSwitch = false;
        facade.stop();
        facade.sendEvent(AnalyticsEvents::kDeviceDpi, AnalyticsEvents::kDpiValue, QStringLiteral("900"));
        QCOMPARE(tracker->queuedHits(), 0);

        m_services.analyticsSwitch = true;
        tracker->setTrackingID(QStringLiteral("UA-000000000-0"));
        tracker->setSendInterval(10);
        facade.start();
        QCOMPARE(tracker->sendInterval(), GAnalytics::kStartedInterval);
        QCOMPARE(tracker->trackingID(), QString("UA-000000000-0"));
        facade.stop();
    }

    // A stopped tracker drops events even with the switch on: nothing is sent before a device is connected.
    void eventsBeforeAStartAreDropped()
    {
        m_services.analyticsSwitch = true;
        HAnalytics facade;
        facade.stop();
        facade.sendEvent(AnalyticsEvents::kDeviceReset, AnalyticsEvents::kReset, AnalyticsEvents::kFail);
        QCOMPARE(analyticsInstance()->queuedHits(), 0);
    }

private:
    RecordingServices m_services;
    LocalHttpServer m_server;
};

QTEST_GUILESS_MAIN(tst_HAnalytics)
#include "tst_hanalytics.moc"
