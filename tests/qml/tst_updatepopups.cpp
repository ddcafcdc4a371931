#include "app/KAppManager.h"
#include "app/KAppCommon.h"
#include "app/UIManager.h"
#include "online/ReplyGuard.h"
#include "update/HHttpDownload.h"

#include "LocalHttpServer.h"
#include "LogCapture.h"
#include "SimBusFixture.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

// The program-update popups of the real main window: the offer after the version check at start, the download
// with its progress, its cancel and its failure. The download comes from a local server.
class TestUpdatePopups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<LocalHttpServer> m_server;
    QQuickWindow* m_window = nullptr;
    HHttpDownload* m_download = nullptr;
    int m_exits = 0;

    QObject* popup(const QString& type) const { return findOfType(m_window, type); }

    bool shown(const QString& type) const { return isShown(m_window, type); }

    void click(QQuickItem* item) { clickItem(m_window, item); }

    QString tip() const { return findItem(m_window, "suspension")->property("mText").toString(); }

    void closeAll()
    {
        for (const QString& type : {"HVersionUpdate_new", "HCheckSoftware_new", "HProgressBar_new"})
            QMetaObject::invokeMethod(popup(type), "close");
        WAIT_VERIFY(!shown("HVersionUpdate_new") && !shown("HProgressBar_new"));
    }

    // The offer opened and confirmed: the download starts and its progress is shown.
    void startDownload(const QString& path)
    {
        m_download->setDownloadUrl(m_server->url(path));
        QVERIFY(QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, 17)));
        WAIT_VERIFY(shown("HVersionUpdate_new"));
        click(findItem(popup("HVersionUpdate_new"), "ok"));
        WAIT_VERIFY(!shown("HVersionUpdate_new"));
        WAIT_VERIFY(shown("HProgressBar_new"));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_bus = std::make_unique<SimBusFixture>();
        m_server = std::make_unique<LocalHttpServer>();
        HHttpDownload::setExitHook([this] { ++m_exits; });
        m_log = std::make_unique<LogCapture>();
        m_window = startMainWindow();
        QVERIFY(m_window);
        m_download = qobject_cast<HHttpDownload*>(KAppManager::instance()->getUIManager()->getEngine()->rootContext()
                                                      ->contextProperty("h_httpDownload").value<QObject*>());
        QVERIFY(m_download);
        // The check at start has its answer (none here: no server) before the tests begin.
        WAIT_VERIFY(!shown("HLoadDialog_new"));
        closeAll();
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        KAppManager::instance()->shutdown();
        HHttpDownload::setExitHook({});
        const QStringList faults = qmlFaults(*m_log);
        m_log.reset();
        m_bus.reset();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        QCOMPARE(m_exits, 0);
    }

    void cleanup()
    {
        ReplyGuard::resetLimits();
        closeAll();
        QVERIFY2(qmlFaults(*m_log).isEmpty(), qPrintable(qmlFaults(*m_log).join('\n')));
    }

    // Only the answer to the check at start with a version other than the program's offers the update; the
    // support page's own check (closeIndex false), errors and the same version show nothing here.
    void versionAnswerAtStart_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("closeIndex");
        QTest::addColumn<bool>("offered");
        const QString current = KAppCommon::instance()->getAppVersion();
        QTest::newRow("newer") << 0 << "9.9.9" << true << true;
        QTest::newRow("current") << 0 << current << true << false;
        QTest::newRow("error") << -1 << "" << true << false;
        QTest::newRow("support page's check") << 0 << "9.9.9" << false << false;
    }

    void versionAnswerAtStart()
    {
        QFETCH(int, code);
        QFETCH(QString, version);
        QFETCH(bool, closeIndex);
        QFETCH(bool, offered);
        QVERIFY(QMetaObject::invokeMethod(m_download, "sigReturnVersion", Q_ARG(int, code), Q_ARG(QString, QString()),
                                          Q_ARG(QString, version), Q_ARG(QString, QString()), Q_ARG(bool, closeIndex)));
        if (offered)
            WAIT_VERIFY(shown("HVersionUpdate_new"));
        else
            QTest::qWait(100);
        QCOMPARE(shown("HVersionUpdate_new"), offered);
        QVERIFY(!shown("HLoadDialog_new"));
    }

    // "Cancel" of the offer closes it and downloads nothing.
    void offerCancelled()
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, 17)));
        WAIT_VERIFY(shown("HVersionUpdate_new"));
        click(findItem(popup("HVersionUpdate_new"), "cancel"));
        WAIT_VERIFY(!shown("HVersionUpdate_new"));
        QVERIFY(!shown("HProgressBar_new"));
        QVERIFY(m_server->requests().isEmpty());
    }

    // The close button of the progress cancels the download and says so.
    void downloadCancelled()
    {
        LocalHttpServer::Reply reply;
        reply.body = QByteArray(1000, 'x');
        reply.delayMs = 3000;
        m_server->script("/Slow.run", reply);
        startDownload("/Slow.run");
        QVERIFY(m_server->waitForRequests(1));
        click(findItem(popup("HProgressBar_new"), "cancel"));
        WAIT_VERIFY(!shown("HProgressBar_new"));
        WAIT_COMPARE(tip(), QString("Download cancelled"));
        WAIT_VERIFY(!m_download->isDownloading());
    }

    // An address without a file name is no download: the progress ends at once as failed.
    void addressWithoutFileName()
    {
        const int asked = m_server->requests().size();
        m_download->setDownloadUrl(m_server->url("/"));
        QVERIFY(QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, 17)));
        QTRY_VERIFY(shown("HVersionUpdate_new"));
        click(findItem(popup("HVersionUpdate_new"), "ok"));
        QTRY_COMPARE(tip(), QString("The download failed"));
        QTRY_VERIFY(!shown("HProgressBar_new"));
        QVERIFY(!m_download->isDownloading());
        QCOMPARE(m_server->requests().size(), asked);
    }

    // A transfer that breaks off, or a whole page that is no installer (an error page, a redirect), ends the
    // progress with a failure, not with "finished!!!".
    void failedDownloadIsNoSuccess_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("closeAfterBytes");
        QTest::newRow("broken off") << 200 << 100;
        QTest::newRow("error page") << 404 << -1;
        QTest::newRow("redirect page") << 302 << -1;
        // Answered with success, but no program: it never takes an installer's place.
        QTest::newRow("page with success") << 200 << -1;
        // One byte now and then: the download ends at its floor on progress (short in this test).
        QTest::newRow("trickling") << 200 << -2;
    }

    void failedDownloadIsNoSuccess()
    {
        QFETCH(int, status);
        QFETCH(int, closeAfterBytes);
        LocalHttpServer::Reply reply;
        reply.status = status;
        reply.body = QByteArray(5000, 'x');
        reply.closeAfterBytes = qMax(-1, closeAfterBytes);
        if (closeAfterBytes == -2) {
            reply.trickleMs = 200;
            ReplyGuard::overrideLimits(ReplyGuard::Kind::Installer, {1024 * 1024, 5000, 1000, 64});
        }
        if (status == 302)
            reply.headers.append(qMakePair(QByteArray("Location"), QByteArray("/elsewhere.run")));
        const QByteArray path = "/Failed" + QByteArray(QTest::currentDataTag()).replace(' ', "") + ".run";
        m_server->script(path, reply);
        QObject* tips = KAppManager::instance()->getUIManager()->getEngine()->rootContext()
                            ->contextProperty("h_suspension").value<QObject*>();
        QVERIFY(tips);
        QSignalSpy shownTips(tips, SIGNAL(sigShowTips(int, QString)));
        startDownload(QString::fromLatin1(path));
        WAIT_VERIFY(!shown("HProgressBar_new"));
        // Every tip queued by now has been shown once the last one has gone. The failure tip is among them unless
        // an equal tip was still on show (a tip is not repeated), and "finished!!!" is not.
        WAIT_COMPARE(tip(), QString("The download failed"));
        WAIT_VERIFY(!findItem(m_window, "suspension")->isVisible());
        for (const QList<QVariant>& args : shownTips)
            QVERIFY2(args.at(1).toString() != QLatin1String("finished!!!"), "a failed download was shown as finished");
    }
};

QTEST_MAIN(TestUpdatePopups)
#include "tst_updatepopups.moc"
