#include "LocalHttpServer.h"

#include "online/FfileDownloader.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QtTest>

class tst_FfileDownloader : public QObject
{
    Q_OBJECT
private slots:
    void outcomes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("ok");
        QTest::newRow("200") << 200 << QByteArray("firmware") << false << QByteArray("firmware") << true;
        QTest::newRow("404 page kept") << 404 << QByteArray("<html>404</html>") << false
                                       << QByteArray("<html>404</html>") << false;
        QTest::newRow("302 page") << 302 << QByteArray("moved") << false << QByteArray("moved") << false;
        QTest::newRow("stalled") << 200 << QByteArray() << true << QByteArray() << false;
        QTest::newRow("oversize") << 200 << QByteArray(5000, 'x') << false << QByteArray() << false;
    }
    void outcomes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, silent);
        QFETCH(QByteArray, expected);
        QFETCH(bool, ok);
        LocalHttpServer server;
        LocalHttpServer::Reply reply;
        reply.status = status;
        reply.body = body;
        reply.silent = silent;
        server.script("/f.bin", reply);
        QObject owner;
        FfileDownloader downloader(&owner);
        downloader.setLimits(300, 1000);
        QSignalSpy done(&downloader, &FfileDownloader::downloaded);
        downloader.startDownload(server.url("/f.bin"));
        WAIT_COMPARE(done.count(), 1);
        QCOMPARE(downloader.fileData(), expected);
        QCOMPARE(downloader.succeeded(), ok);
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
