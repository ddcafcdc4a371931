#include "LocalHttpServer.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "online/analytics/GAnalytics.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QDataStream>
#include <QLocale>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSysInfo>
#include <QUrlQuery>
#include <QtTest>

Q_DECLARE_METATYPE(GAnalytics::WindowsVersion)

namespace {

using Fields = QList<QPair<QString, QString>>;

Fields fieldsOf(const QString& query)
{
    return QUrlQuery(query).queryItems(QUrl::FullyDecoded);
}

QStringList keysOf(const Fields& fields)
{
    QStringList keys;
    for (const auto& field : fields)
        keys << field.first;
    return keys;
}

// The queued hits, as the tracker saves them: (query text, time) pairs.
QStringList savedQueue(const GAnalytics& tracker)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << tracker;
    QDataStream in(bytes);
    QStringList pairs;
    in >> pairs;
    return pairs;
}

const QRegularExpression kBracedUuid(
    QStringLiteral("^\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$"));

QString idFile()
{
    return ProgramFolders::configLocation() + QStringLiteral("/system/mouse.ini");
}

} // namespace

class tst_GAnalytics : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.1"));
        m_services.setScale(1.5f);
    }

    void init()
    {
        QDir(ProgramFolders::configLocation()).removeRecursively();
        m_services.modelName.clear();
        m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0));
        Platform::setCurrentDateTime(m_now);
        m_server.reset(new LocalHttpServer);
        m_server->script("/collect", LocalHttpServer::Reply());
        GAnalytics::setCollectUrl(QUrl(m_server->url(QStringLiteral("/collect"))));
    }

    void cleanup() { Platform::setCurrentDateTime(QDateTime()); }

    // Each builder's hit: the common fields in their order, then its own, then the custom values by key.
    void hitBuilders_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("type"); // empty: no hit
        QTest::addColumn<QStringList>("own");
        const QStringList app{"an=Corvane", "av=1.2.1"};
        QTest::newRow("page view") << "pageview main" << false << "pageview"
                                   << QStringList{"cd=main", "an=Corvane", "av=1.2.1", "dp=main", "dt=main"};
        QTest::newRow("page view without a name") << "pageview" << false << "pageview"
                                                  << QStringList{"cd=", "an=Corvane", "av=1.2.1"};
        QTest::newRow("page view, custom values by key") << "pageview custom" << false << "pageview"
            << QStringList{"cd=p", "an=Corvane", "av=1.2.1", "dp=p", "dt=p", "cd1=x", "z=2"};
        QTest::newRow("event with label and value") << "event full" << true << "event"
                                                    << app + QStringList{"ec=device_dpi", "ea=dpivalue", "el=800", "ev=7"};
        QTest::newRow("event without label or value") << "event bare" << true << "event"
                                                      << app + QStringList{"ec=device_dpi", "ea=dpivalue"};
        QTest::newRow("event while stopped") << "event full" << false << "" << QStringList();
        QTest::newRow("exception, fatal by default") << "exception" << false << "exception"
                                                     << app + QStringList{"exd=boom", "exf=1"};
        QTest::newRow("exception, not fatal") << "exception soft" << false << "exception"
                                              << app + QStringList{"exd=boom", "exf=0"};
        QTest::newRow("session start") << "session start" << true << "event"
                                       << app + QStringList{"ec=Session", "ea=Start", "sc=start"};
        QTest::newRow("session end") << "session end" << true << "event"
                                     << app + QStringList{"ec=Session", "ea=End", "sc=end"};
        QTest::newRow("session marks while stopped") << "session start" << false << "" << QStringList();
        QTest::newRow("UI event") << "ui" << true << "event"
                                  << app + QStringList{"ec=UI事件", "ea=click", "el=button", "ev=home"};
        QTest::newRow("operation event with forhead") << "operation m" << true << "event"
            << app + QStringList{"ec=操作事件", "ea=set_m", "el=set_m_dpi", "ev="};
        QTest::newRow("operation event without forhead") << "operation" << true << "event"
            << app + QStringList{"ec=操作事件", "ea=set", "el=set_dpi", "ev="};
    }
    void hitBuilders()
    {
        QFETCH(QString, call);
        QFETCH(bool, started);
        QFETCH(QString, type);
        QFETCH(QStringList, own);
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        tracker.setViewportSize(QStringLiteral("800x600"));
        if (started)
            tracker.start();
        if (call == "pageview main")
            tracker.sendPageView(QStringLiteral("main"));
        else if (call == "pageview")
            tracker.sendPageView(QString());
        else if (call == "pageview custom")
            tracker.sendPageView(QStringLiteral("p"), QVariantMap{{"z", 2}, {"cd1", "x"}});
        else if (call == "event full")
            tracker.sendEvent(QStringLiteral("device_dpi"), QStringLiteral("dpivalue"), QStringLiteral("800"), 7);
        else if (call == "event bare")
            tracker.sendEvent(QStringLiteral("device_dpi"), QStringLiteral("dpivalue"));
        else if (call == "exception")
            tracker.sendException(QStringLiteral("boom"));
        else if (call == "exception soft")
            tracker.sendException(QStringLiteral("boom"), false);
        else if (call == "session start")
            tracker.startSession();
        else if (call == "session end")
            tracker.endSession();
        else if (call == "ui")
            tracker.sendUIEvent(QStringLiteral("click"), QStringLiteral("button"), QStringLiteral("home"));
        else if (call == "operation m")
            tracker.sendOperationEvent(QStringLiteral("set"), QStringLiteral("dpi"), QStringLiteral("m"));
        else if (call == "operation")
            tracker.sendOperationEvent(QStringLiteral("set"), QStringLiteral("dpi"), QString());
        else
            QFAIL("unknown call");

        const QStringList saved = savedQueue(tracker);
        if (type.isEmpty()) {
            QCOMPARE(saved, QStringList());
            return;
        }
        QCOMPARE(saved.size(), 2);
        QStringList fields;
        for (const auto& field : fieldsOf(saved.first()))
            fields << field.first + '=' + field.second;
        const QString language = QLocale::system().name().toLower().replace('_', '-');
        const QStringList common{"v=1", "tid=UA-1-2", "cid=" + tracker.clientID(), "uid=" + tracker.userID(),
                                 "t=" + type, "ul=" + language, "ds=web", "vp=800x600", "sr=0x0_1.5"};
        QCOMPARE(fields, common + own);
        QCOMPARE(saved.at(1), QString("2026,03,01-12:00::00:000"));
    }

    // What goes to the server: the body fully encoded (a "+" of a value too), "qt" last and equal to the hit's
    // age, "Connection" keep-alive while another hit waits; accepted hits drain back to back without a tick.
    void postsDrainBackToBack()
    {
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        tracker.start();
        tracker.sendEvent(QStringLiteral("device_composite"), QStringLiteral("key:3"), QStringLiteral("keycode:Ctrl+C&V=1"));
        Platform::setCurrentDateTime(m_now.addMSecs(250));
        tracker.sendEvent(QStringLiteral("操作事件"), QStringLiteral("b"));
        Platform::setCurrentDateTime(m_now.addMSecs(1234));
        tracker.sendNow();
        QVERIFY(m_server->waitForRequests(2));
        WAIT_COMPARE(tracker.queuedHits(), 0);

        const QList<LocalHttpServer::Request>& requests = m_server->requests();
        QCOMPARE(requests.at(0).method, QByteArray("POST"));
        QCOMPARE(requests.at(0).path, QByteArray("/collect"));
        QCOMPARE(requests.at(0).header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(requests.at(0).header("Connection").toLower(), QByteArray("keep-alive"));
        QCOMPARE(requests.at(1).header("Connection").toLower(), QByteArray("close"));
        QVERIFY2(!requests.at(0).body.contains('+'), requests.at(0).body.constData());

        const Fields first = fieldsOf(QString::fromUtf8(requests.at(0).body));
        QVERIFY(first.contains({"el", "keycode:Ctrl+C&V=1"}));
        QCOMPARE(first.last(), (QPair<QString, QString>("qt", "1234")));
        const Fields second = fieldsOf(QString::fromUtf8(requests.at(1).body));
        QVERIFY(second.contains({"ec", "操作事件"}));
        QCOMPARE(second.last(), (QPair<QString, QString>("qt", "984")));
        QVERIFY(!keysOf(second).contains("el"));
    }

    // A hit is sent up to ten minutes after it was made; one older is dropped unsent and the next goes.
    void tenMinutesOld()
    {
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        tracker.start();
        tracker.sendEvent(QStringLiteral("c"), QStringLiteral("stale"));
        Platform::setCurrentDateTime(m_now.addMSecs(1));
        tracker.sendEvent(QStringLiteral("c"), QStringLiteral("fresh"));
        Platform::setCurrentDateTime(m_now.addMSecs(600001));
        tracker.sendNow();
        QVERIFY(m_server->waitForRequests(1));
        WAIT_COMPARE(tracker.queuedHits(), 0);
        QVERIFY(!m_server->waitForRequests(2, 200));
        const Fields sent = fieldsOf(QString::fromUtf8(m_server->requests().first().body));
        QVERIFY(sent.contains({"ea", "fresh"}));
        QCOMPARE(sent.last(), (QPair<QString, QString>("qt", "600000")));
    }

    // The server's answer decides the head hit: kept for the next tick, or gone; the hit behind it stays.
    void answers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("closeAfterBytes");
        QTest::addColumn<bool>("retried");
        QTest::newRow("500: dropped") << 500 << -1 << false;
        QTest::newRow("302: kept for the next tick") << 302 << -1 << true;
        QTest::newRow("accepted, then broken off: dropped") << 200 << 1 << false;
    }
    void answers()
    {
        QFETCH(int, status);
        QFETCH(int, closeAfterBytes);
        QFETCH(bool, retried);
        LocalHttpServer::Reply reply;
        reply.status = status;
        reply.body = "answer";
        reply.closeAfterBytes = closeAfterBytes;
        m_server->script("/collect", reply);

        GAnalytics tracker(QStringLiteral("UA-1-2"));
        tracker.start();
        tracker.sendEvent(QStringLiteral("c"), QStringLiteral("first"));
        tracker.sendEvent(QStringLiteral("c"), QStringLiteral("second"));
        tracker.sendNow();
        QVERIFY(m_server->waitForRequests(1));
        WAIT_COMPARE(tracker.queuedHits(), retried ? 2 : 1);
        // No tick has come: nothing more was sent.
        QVERIFY(!m_server->waitForRequests(2, 200));

        m_server->script("/collect", LocalHttpServer::Reply());
        tracker.setSendInterval(10);
        WAIT_COMPARE(tracker.queuedHits(), 0);
        QStringList actions;
        for (const LocalHttpServer::Request& request : m_server->requests())
            actions << QUrlQuery(QString::fromUtf8(request.body)).queryItemValue("ea");
        QCOMPARE(actions, retried ? QStringList({"first", "first", "second"}) : QStringList({"first", "second"}));
    }

    // Ticks while a post is on its way do not post the same hit again.
    void slowServerSeesEachHitOnce()
    {
        LocalHttpServer::Reply slow;
        slow.delayMs = 150;
        m_server->script("/collect", slow);
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        tracker.start();
        for (const char* action : {"a", "b", "c"})
            tracker.sendEvent(QStringLiteral("c"), QLatin1String(action));
        tracker.setSendInterval(5);
        WAIT_COMPARE(tracker.queuedHits(), 0);
        QVERIFY(!m_server->waitForRequests(4, 300));
        QStringList actions;
        for (const LocalHttpServer::Request& request : m_server->requests())
            actions << QUrlQuery(QString::fromUtf8(request.body)).queryItemValue("ea");
        QCOMPARE(actions, QStringList({"a", "b", "c"}));
    }

    // A stopped tracker sends nothing and stops its timer at the next attempt; its hits wait for the start.
    void stoppedSendsNothing()
    {
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        QSignalSpy paused(&tracker, &GAnalytics::isSendingChanged);
        tracker.sendPageView(QStringLiteral("main"));
        tracker.setSendInterval(5);
        tracker.sendNow();
        QCOMPARE(paused.count(), 1);
        QVERIFY(tracker.isSending());
        QVERIFY(!m_server->waitForRequests(1, 200));
        QCOMPARE(tracker.queuedHits(), 1);
        tracker.start();
        QCOMPARE(paused.count(), 2);
        QVERIFY(!tracker.isSending());
        QCOMPARE(tracker.sendInterval(), GAnalytics::kStartedInterval);
        tracker.sendNow();
        QVERIFY(m_server->waitForRequests(1));
        WAIT_COMPARE(tracker.queuedHits(), 0);
    }

    void startSetsItsOwnInterval()
    {
        GAnalytics tracker;
        QSignalSpy changed(&tracker, &GAnalytics::sendIntervalChanged);
        tracker.setSendInterval(5000);
        tracker.setSendInterval(5000);
        QCOMPARE(changed.count(), 1);
        tracker.start();
        QCOMPARE(tracker.sendInterval(), 30000);
    }

    // The ids are made once, kept in the id file and read back by the next tracker; new ones set through the
    // setters reach the file and are used from the next tracker on.
    void idsMadeAndKept()
    {
        QString clientId, userId;
        {
            GAnalytics first;
            clientId = first.clientID();
            userId = first.userID();
        }
        QVERIFY2(kBracedUuid.match(clientId).hasMatch(), qPrintable(clientId));
        QVERIFY2(kBracedUuid.match(userId).hasMatch(), qPrintable(userId));
        QVERIFY(clientId != userId);
        QSettings file(idFile(), QSettings::IniFormat);
        QCOMPARE(file.value("GAnalytics-cid").toString(), clientId);
        QCOMPARE(file.value("GAnalytics-uid").toString(), userId);

        GAnalytics second(QStringLiteral("UA-1-2"));
        QCOMPARE(second.clientID(), clientId);
        QCOMPARE(second.userID(), userId);

        QSignalSpy userChanged(&second, &GAnalytics::userIDChanged);
        second.setUserID(QStringLiteral("{00000000-0000-0000-0000-000000000001}"));
        second.setClientID(QStringLiteral("{00000000-0000-0000-0000-000000000002}"));
        QCOMPARE(userChanged.count(), 1);
        QCOMPARE(second.userID(), QString("{00000000-0000-0000-0000-000000000001}"));
        QCOMPARE(second.clientID(), clientId);
        second.sendPageView(QStringLiteral("p"));
        const Fields sent = fieldsOf(savedQueue(second).first());
        QVERIFY(sent.contains({"cid", clientId}));
        QVERIFY(sent.contains({"uid", userId}));

        GAnalytics third;
        QCOMPARE(third.clientID(), QString("{00000000-0000-0000-0000-000000000002}"));
        QCOMPARE(third.userID(), QString("{00000000-0000-0000-0000-000000000001}"));
    }

    // An id file that cannot be written: the ids still serve the run (steadily), the next run makes its own.
    void unwritableIdFile()
    {
        QVERIFY(QDir().mkpath(ProgramFolders::configLocation()));
        QFile blocker(ProgramFolders::configLocation() + QStringLiteral("/system"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        GAnalytics first;
        GAnalytics second;
        QVERIFY(kBracedUuid.match(first.clientID()).hasMatch());
        QVERIFY(first.clientID() != second.clientID());
        const QString userId = first.userID();
        QVERIFY(kBracedUuid.match(userId).hasMatch());
        QCOMPARE(first.userID(), userId);
        first.sendPageView(QStringLiteral("p"));
        QVERIFY(fieldsOf(savedQueue(first).first()).contains({"uid", userId}));
    }

    // The User-Agent names the program, the device (none at first), the system and the locale; a new agent
    // field counts from the next refresh, and reaches the server with the next post.
    void userAgent()
    {
        const QString tail = QStringLiteral("/1.2.1 (%1; %2) GAnalytics/1.0 (Qt/5.12.5)")
                                 .arg(GAnalytics::operatingSystemText(), QLocale::system().name());
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        QCOMPARE(tracker.userAgent(), "Corvane_" + tail);
        tracker.setAgentField(QStringLiteral("ZEPHRA"));
        QCOMPARE(tracker.userAgent(), "Corvane_" + tail);
        tracker.refreshHeaders();
        QCOMPARE(tracker.userAgent(), "Corvane_ZEPHRA" + tail);
        tracker.start();
        tracker.sendEvent(QStringLiteral("c"), QStringLiteral("a"));
        tracker.sendNow();
        QVERIFY(m_server->waitForRequests(1));
        QCOMPARE(m_server->requests().first().header("User-Agent"), ("Corvane_ZEPHRA" + tail).toUtf8());

        m_services.modelName = QStringLiteral("KELHAM");
        GAnalytics connected;
        QCOMPARE(connected.userAgent(), "Corvane_KELHAM" + tail);
    }

    void operatingSystem_data()
    {
        QTest::addColumn<GAnalytics::WindowsVersion>("version");
        QTest::addColumn<QString>("text");
        using V = GAnalytics::WindowsVersion;
        QTest::newRow("95") << V::Win95 << "Windows; Win 95";
        QTest::newRow("98") << V::Win98 << "Windows; Win 98";
        QTest::newRow("Me") << V::WinMe << "Windows; Win ME";
        QTest::newRow("NT 4") << V::WinNT4 << "Windows; Win NT";
        QTest::newRow("2000") << V::Win2000 << "Windows; Windows NT 5.0";
        QTest::newRow("XP") << V::WinXP << "Windows; Windows NT 5.1";
        QTest::newRow("Server 2003") << V::Win2003 << "Windows; Win Server 2003";
        QTest::newRow("Vista") << V::WinVista << "Windows; Windows NT 6.0";
        QTest::newRow("7") << V::Win7 << "Windows; Windows NT 6.1";
        QTest::newRow("8") << V::Win8 << "Windows; Windows NT 6.2";
        QTest::newRow("8.1 reads as 8") << V::Win81 << "Windows; Windows NT 6.2";
        QTest::newRow("10") << V::Win10 << "Windows; Windows NT 10.0";
        QTest::newRow("other") << V::Other << "Windows; unknown";
    }
    void operatingSystem()
    {
        QFETCH(GAnalytics::WindowsVersion, version);
        QFETCH(QString, text);
        QCOMPARE(GAnalytics::windowsSystemText(version), text);
        QCOMPARE(GAnalytics::operatingSystemText(), "Linux; " + QSysInfo::prettyProductName());
    }

    // The saved queue reads back into another tracker hit for hit; reading stops at a broken pair.
    void queueRoundTrip()
    {
        GAnalytics tracker(QStringLiteral("UA-1-2"));
        tracker.sendPageView(QStringLiteral("主页 & 100% + more"));
        Platform::setCurrentDateTime(m_now.addMSecs(1500));
        tracker.sendException(QStringLiteral("a=b"), false);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << tracker;
        }
        GAnalytics restored;
        {
            QDataStream in(bytes);
            in >> restored;
        }
        QCOMPARE(savedQueue(restored), savedQueue(tracker));
        QCOMPARE(savedQueue(restored).at(3), QString("2026,03,01-12:00::01:500"));
        QVERIFY(fieldsOf(savedQueue(restored).at(0)).contains({"dp", "主页 & 100% + more"}));

        QByteArray broken;
        {
            QDataStream out(&broken, QIODevice::WriteOnly);
            out << (QStringList{savedQueue(tracker).at(0), savedQueue(tracker).at(1), QString(), "x",
                                savedQueue(tracker).at(2), savedQueue(tracker).at(3)});
        }
        GAnalytics partial;
        QDataStream in(broken);
        in >> partial;
        QCOMPARE(partial.queuedHits(), 1);
    }

private:
    RecordingServices m_services;
    QScopedPointer<LocalHttpServer> m_server;
    QDateTime m_now;
};

QTEST_GUILESS_MAIN(tst_GAnalytics)
#include "tst_ganalytics.moc"
