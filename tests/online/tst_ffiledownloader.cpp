#include "LocalHttpServer.h"

#include "online/FfileDownloader.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(LocalHttpServer::Reply)

class tst_FfileDownloader : public QObject
{
    Q_OBJECT
private slots:
    void outcomes_data()
    {
        QTest::addColumn<LocalHttpServer::Reply>("reply");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("ok");
        const auto reply = [](int status, const QByteArray& body) {
            LocalHttpServer::Reply r;
            r.status = status;
            r.body = body;
            return r;
        };
        QTest::newRow("200") << reply(200, "firmware") << QByteArray("firmware") << true;
        QTest::newRow("exactly the cap") << reply(200, QByteArray(1000, 'x')) << QByteArray(1000, 'x') << true;
        // An error page or a redirect is no download: nothing of it is handed on.
        QTest::newRow("404 page") << reply(404, "<html>404</html>") << QByteArray() << false;
        QTest::newRow("302 page") << reply(302, "moved") << QByteArray() << false;
        QTest::newRow("one byte over the cap") << reply(200, QByteArray(1001, 'x')) << QByteArray() << false;
        LocalHttpServer::Reply silent;
        silent.silent = true;
        QTest::newRow("silence") << silent << QByteArray() << false;
        LocalHttpServer::Reply endless;
        endless.endless = true;
        QTest::newRow("endless body") << endless << QByteArray() << false;
        LocalHttpServer::Reply trickle = reply(200, QByteArray(500, 'x'));
        trickle.trickleMs = 100;
        QTest::newRow("trickling body") << trickle << QByteArray() << false;
    }
    void outcomes()
    {
        QFETCH(LocalHttpServer::Reply, reply);
        QFETCH(QByteArray, expected);
        QFETCH(bool, ok);
        LocalHttpServer server;
        server.script("/f.bin", reply);
        QObject owner;
        FfileDownloader downloader(&owner);
        // A small cap, a progress floor of 20 bytes in each 300 ms, and all of it within 3 s.
        downloader.setLimits({1000, 3000, 300, 20});
        QSignalSpy done(&downloader, &FfileDownloader::downloaded);
        downloader.startDownload(server.url("/f.bin"));
        WAIT_COMPARE(done.count(), 1);
        QCOMPARE(downloader.fileData(), expected);
        QCOMPARE(downloader.succeeded(), ok);
        QVERIFY(downloader.peakHeld() <= 1000 + 2 * ReplyGuard::kReadBuffer);
        QTest::qWait(300);
        QCOMPARE(done.count(), 1);
    }

    void emptyUrlAndTwoInARow()
    {
        QObject owner;
        FfileDownloader downloader(&owner);
        QSignalSpy done(&downloader, &FfileDownloader::downloaded);
        downloader.startDownload(QString());
        WAIT_COMPARE(done.count(), 1);
        QVERIFY(downloader.fileData().isEmpty());
        QVERIFY(!downloader.succeeded());

        LocalHttpServer server;
        LocalHttpServer::Reply first;
        first.body = "first";
        server.script("/a", first);
        LocalHttpServer::Reply second;
        second.body = "second";
        server.script("/b", second);
        downloader.startDownload(server.url("/a"));
        WAIT_COMPARE(done.count(), 2);
        downloader.startDownload(server.url("/b"));
        WAIT_COMPARE(done.count(), 3);
        QCOMPARE(downloader.fileData(), QByteArray("second"));
        QVERIFY(downloader.succeeded());
    }
};

QTEST_MAIN(tst_FfileDownloader)
#include "tst_ffiledownloader.moc"
