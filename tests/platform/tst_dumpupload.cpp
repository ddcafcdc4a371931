#include "LocalHttpServer.h"
#include "platform/crash/BreakpadHandler.h"
#include "platform/crash/QBreakpadHttpUploader.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A dump's bytes: binary, with the multipart boundary's dashes and line ends inside.
const QByteArray kDump = QByteArray("MDMP\x93\xa7\x00\x00", 8) + QByteArray("\r\n--x\r\n\0\xff", 10) + QByteArray(3000, '\x5a');

QString writeDump(const QTemporaryDir& dir, const QString& name)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(kDump) != kDump.size())
        return QString();
    return file.fileName();
}

} // namespace

class TestDumpUpload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.1"));
    }

    // What the server receives, and what becomes of the dump by its answer.
    void upload_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("dumpKept");
        QTest::newRow("accepted: the dump goes") << 200 << false;
        QTest::newRow("server error: the dump stays") << 500 << true;
    }
    void upload()
    {
        QFETCH(int, status);
        QFETCH(bool, dumpKept);
        QTemporaryDir dir;
        const QString dump = writeDump(dir, QStringLiteral("0b7a.dmp"));
        QVERIFY(!dump.isEmpty());

        LocalHttpServer server;
        LocalHttpServer::Reply reply;
        reply.status = status;
        reply.body = "CrashID=bp-1";
        server.script("/crash", reply);

        QBreakpadHttpUploader uploader(QUrl(server.url(QStringLiteral("/crash"))));
        QCOMPARE(uploader.remoteUrl(), server.url(QStringLiteral("/crash")));
        QSignalSpy finished(&uploader, &QBreakpadHttpUploader::finished);
        uploader.uploadDump(dump);
        WAIT_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toString(), QString("CrashID=bp-1"));

        QCOMPARE(server.requests().size(), 1);
        const LocalHttpServer::Request& request = server.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.header("User-Agent"), QByteArray("Corvane/1.2.1"));
        QCOMPARE(request.parts.size(), 3);
        QCOMPARE(request.parts.at(0).body, QByteArray("Corvane"));
        QCOMPARE(request.parts.at(1).body, QByteArray("1.2.1"));
        const LocalHttpServer::Part& file = request.parts.at(2);
        QCOMPARE(file.headers.size(), 2);
        QCOMPARE(file.headers.at(0).first.toLower(), QByteArray("content-disposition"));
        QCOMPARE(file.headers.at(0).second,
                 QByteArray("form-data; name=\"upload_file_minidump\"; filename=\"0b7a.dmp\""));
        QCOMPARE(file.headers.at(1).first.toLower(), QByteArray("content-type"));
        QCOMPARE(file.headers.at(1).second, QByteArray("application/octet-stream"));
        QCOMPARE(file.body, kDump);

        QCOMPARE(QFile::exists(dump), dumpKept);
    }

    // A dump that cannot be opened: nothing is sent and nothing is announced.
    void unreadableDumpSendsNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "gone.dmp";
        QTest::newRow("a folder") << "folder.dmp";
    }
    void unreadableDumpSendsNothing()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.dmp")));
        LocalHttpServer server;
        server.script("/crash", LocalHttpServer::Reply());
        QBreakpadHttpUploader uploader(QUrl(server.url(QStringLiteral("/crash"))));
        QSignalSpy finished(&uploader, &QBreakpadHttpUploader::finished);
        uploader.uploadDump(dir.filePath(name));
        QVERIFY(!server.waitForRequests(1, 300));
        QCOMPARE(finished.count(), 0);
    }

    // An uploader that goes while its upload runs stops it before its file goes (the sanitizer builds see a
    // read of the freed file otherwise); the dump stays.
    void destroyedWhileUploading()
    {
        QTemporaryDir dir;
        const QString dump = writeDump(dir, QStringLiteral("c.dmp"));
        LocalHttpServer server;
        LocalHttpServer::Reply silent;
        silent.silent = true;
        server.script("/crash", silent);
        {
            QBreakpadHttpUploader uploader(QUrl(server.url(QStringLiteral("/crash"))));
            uploader.uploadDump(dump);
        }
        QTest::qWait(200);
        QVERIFY(QFile::exists(dump));
    }

    // The handler sends every named dump of its folder to its upload address, side by side.
    void handlerUploadsTheNamedDumps()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("crashs"));
        BreakpadHandler* handler = BreakpadHandler::instance();
        QCOMPARE(handler->listDumps(), QStringList());
        handler->setDumpPath(folder);
        QVERIFY(!writeDump(dir, QStringLiteral("crashs/a.dmp")).isEmpty());
        QVERIFY(!writeDump(dir, QStringLiteral("crashs/b.dmp")).isEmpty());
        QCOMPARE(handler->listDumps(), (QStringList{"a.dmp", "b.dmp"}));

        LocalHttpServer server;
        server.script("/crash", LocalHttpServer::Reply());
        handler->setUploadUrl(QUrl(server.url(QStringLiteral("/crash"))));
        handler->uploadDumps(handler->listDumps());
        QVERIFY(server.waitForRequests(2));
        QStringList names;
        for (const LocalHttpServer::Request& request : server.requests())
            names << QString::fromLatin1(request.parts.value(2).headers.value(0).second);
        names.sort();
        QCOMPARE(names, (QStringList{"form-data; name=\"upload_file_minidump\"; filename=\"a.dmp\"",
                                     "form-data; name=\"upload_file_minidump\"; filename=\"b.dmp\""}));
        WAIT_VERIFY(!handler->hasDumps());
    }
};

QTEST_MAIN(TestDumpUpload)
#include "tst_dumpupload.moc"
