#include "BrokenFirmware.h"
#include "FakeProgram.h"
#include "LocalHttpServer.h"
#include "RecordingServices.h"
#include "TestWait.h"

#include "common/ProgramFolders.h"
#include "platform/process/ProcessControl.h"
#include "update/FUpdateGFirmWare.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Progress = QList<QPair<int, int>>;

Progress progressOf(const QSignalSpy& spy)
{
    Progress out;
    for (const QList<QVariant>& args : spy)
        out.append({args.at(0).toInt(), args.at(1).toInt()});
    return out;
}

QList<int> codesOf(const QSignalSpy& spy)
{
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out.append(args.at(0).toInt());
    return out;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

// The built update program and library, started by the driver from a program folder of the test's own:
// real jobs over the local connection, flashing through the fake per-model update program or a simulated
// bootloader.
class TestTessalyEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void keyboardFromLocalFiles();
    void keyboardFromDownload();
    void downloadNotFound();
    void downloadIsNoFirmware_data();
    void downloadIsNoFirmware();
    void aliasedNordicDownload();
    void cawdorMouseOnTheSimulatedBus();
    void cawdorMouseMissing();
    void logFile();

private:
    QString programFolder() const { return m_folder->path(); }
    // Runs one update of model to its result; the results and the progress in order.
    QList<int> runUpdate(const QString& model, const QString& url, Progress* progress = nullptr);
    QString logText() const;
    bool tessalyGone();

    QScopedPointer<QTemporaryDir> m_folder;
    QScopedPointer<QTemporaryDir> m_data;
    QTemporaryDir m_runtime;
    RecordingServices* m_services = nullptr;
};

void TestTessalyEndToEnd::initTestCase()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    qputenv("CORVANE_UPDATE_PORT", QByteArray::number(probe.serverPort()));
    // The per-model program's progress pipe lives in the runtime folder, for Tessaly and the program alike.
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
}

void TestTessalyEndToEnd::init()
{
    m_folder.reset(new QTemporaryDir);
    m_data.reset(new QTemporaryDir);
    qputenv("XDG_DATA_HOME", m_data->path().toUtf8());
    const QString tessaly = programFolder() + "/Tessaly";
    QVERIFY(QFile::copy(CORVANE_TESSALY, tessaly));
    QFile::setPermissions(tessaly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ProgramFolders::setProgramFolder(programFolder());
    m_services = new RecordingServices;
    m_services->language = "en";
}

void TestTessalyEndToEnd::cleanup()
{
    qunsetenv("CORVANE_SIMULATE");
    Platform::killProcess(Platform::findProcessId("Tessaly"));
    delete m_services;
    ProgramFolders::setProgramFolder(QString());
    m_folder.reset();
}

bool TestTessalyEndToEnd::tessalyGone()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < TestWait::kBoundMs) {
        if (Platform::findProcessId("Tessaly") == 0)
            return true;
        QTest::qWait(20);
    }
    return false;
}

QList<int> TestTessalyEndToEnd::runUpdate(const QString& model, const QString& url, Progress* progress)
{
    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    QSignalSpy steps(&driver, &FUpdateGFirmWare::sigProgress);
    driver.setDownloadUrl(url);
    driver.stateUpdateFirm(model);
    if (results.isEmpty())
        results.wait(60000);
    QTest::qWait(300);   // nothing may follow the result
    if (progress)
        *progress = progressOf(steps);
    return codesOf(results);
}

QString TestTessalyEndToEnd::logText() const
{
    QString text;
    QDirIterator it(m_data->path(), {"*.txt"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        text += QString::fromUtf8(readFile(it.next()));
    return text;
}

void TestTessalyEndToEnd::keyboardFromLocalFiles()
{
    // The keyboard's type name maps to its update model, whose per-model program reports over the pipe.
    const QString program = programFolder() + "/Update/Local/QUENBY_8A/QUENBY-8A_Update.exe";
    QVERIFY(FakeProgram::install(program, {"pipe 4 37", "sleep 100", "pipe 4 100", "sleep 100", "pipe 5 0"}));
    Progress progress;
    QCOMPARE(runUpdate("ZEPHRA", QString(), &progress), QList<int>{0});
    QVERIFY2(progress.contains({37, 100}), qPrintable(QTest::toString(progress)));
    QCOMPARE(progress.last(), (QPair<int, int>(100, 100)));
    QVERIFY(tessalyGone());
    // Tessaly logged its job, as started with "-log".
    QVERIFY(logText().contains("mText: \"ZEPHRA\" mLanguage: \"en\""));
}

void TestTessalyEndToEnd::keyboardFromDownload()
{
    // The server hands out the update program itself; Tessaly saves it where the library looks for it.
    const QString staged = m_data->path() + "/staged/QUENBY-8A_Update.exe";
    QVERIFY(FakeProgram::install(staged, {}));
    const QByteArray bytes = readFile(staged);
    const QString target = programFolder() + "/Update/Clouds/QUENBY_8A/QUENBY-8A_Update.exe";
    QVERIFY(writeFile(target + ".script", "pipe 4 50\nsleep 100\npipe 5 0\n"));

    LocalHttpServer server;
    LocalHttpServer::Reply reply;
    reply.body = bytes;
    server.script("/fw/QUENBY-8A_Update.exe", reply);
    Progress progress;
    QCOMPARE(runUpdate("ZEPHRA", server.url("/fw/QUENBY-8A_Update.exe"), &progress), QList<int>{0});
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(readFile(target), bytes);
    QCOMPARE(QFileInfo(target).permissions() & (QFileDevice::ExeGroup | QFileDevice::ExeOther), QFileDevice::Permissions());
    QVERIFY(progress.contains({50, 100}));
    QVERIFY(tessalyGone());
}

void TestTessalyEndToEnd::downloadNotFound()
{
    LocalHttpServer server;
    LocalHttpServer::Reply page;
    page.status = 404;
    page.body = QByteArray(400, 'x');   // an error page is no firmware, whatever its size
    server.script("/fw/missing.exe", page);
    QCOMPARE(runUpdate("ZEPHRA", server.url("/fw/missing.exe")), QList<int>{3});
    QVERIFY(!QFile::exists(programFolder() + "/Update/Clouds/QUENBY_8A/QUENBY-8A_Update.exe"));
    QVERIFY(tessalyGone());
}

void TestTessalyEndToEnd::downloadIsNoFirmware_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("saved"); // below Update/Clouds/
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("page for a Cawdor mouse") << "YARRIN"
                                             << "YARRIN/Nuc123.bin" << BrokenFirmware::htmlPage();
    QTest::newRow("json for the keyboard's program")
        << "ZEPHRA"
        << "QUENBY_8A/QUENBY-8A_Update.exe" << BrokenFirmware::jsonAnswer();
    QTest::newRow("page for a Nordic package") << "NESBIT"
                                               << "NESBIT/NESBIT_Update.zip" << BrokenFirmware::htmlPage();
}

// An answer with success that is no firmware of the model's kind ends in "download fail": the file saved before
// stays, and nothing is flashed.
void TestTessalyEndToEnd::downloadIsNoFirmware()
{
    QFETCH(QString, model);
    QFETCH(QString, saved);
    QFETCH(QByteArray, body);
    const QString target = programFolder() + "/Update/Clouds/" + saved;
    const QByteArray earlier = "earlier download";
    QVERIFY(writeFile(target, earlier));
    LocalHttpServer server;
    LocalHttpServer::Reply page;
    page.body = body;
    server.script("/fw/latest", page);
    QCOMPARE(runUpdate(model, server.url("/fw/latest")), QList<int> {3});
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(readFile(target), earlier);
    QVERIFY(tessalyGone());
}

// "MALDON" is flashed as "KELHAM_NORDIC" with the package "MALDON_Update.zip": the download is saved under
// that name, where the library looks for it. No such mouse is attached, so the update fails.
void TestTessalyEndToEnd::aliasedNordicDownload()
{
    LocalHttpServer server;
    LocalHttpServer::Reply reply;
    reply.body = QByteArray("PK\x03\x04", 4) + BrokenFirmware::image(300);
    server.script("/fw/pkg.zip", reply);
    QCOMPARE(runUpdate("MALDON", server.url("/fw/pkg.zip")), QList<int>{2});
    QCOMPARE(readFile(programFolder() + "/Update/Clouds/KELHAM_NORDIC/MALDON_Update.zip"), reply.body);
    QVERIFY(tessalyGone());
}

void TestTessalyEndToEnd::cawdorMouseOnTheSimulatedBus()
{
    QByteArray image(3000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 13 + 5) & 0xFF);
    QVERIFY(writeFile(programFolder() + "/Update/Local/YARRIN/Nuc123.bin", image));
    qputenv("CORVANE_SIMULATE", "YARRIN");
    QCOMPARE(runUpdate("YARRIN", QString()), QList<int>{0});
    QVERIFY(tessalyGone());

    // The simulated bootloader said what it holds before the library's result was sent.
    const QString log = logText();
    const QString held = QString("[Sim] the Cawdor bootloader runs its new firmware: %1 bytes, sha1 %2")
                             .arg(image.size())
                             .arg(QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha1).toHex()));
    const int heldAt = log.indexOf(held);
    QVERIFY2(heldAt >= 0, qPrintable(log.right(3000)));
    const int resultAt = log.indexOf("code: 0");
    QVERIFY(resultAt > heldAt);
}

// The library's failure for a model of no list reaches Corvane as a failure, not as two bare lines it ignores.
void TestTessalyEndToEnd::cawdorMouseMissing()
{
    QVERIFY(writeFile(programFolder() + "/Update/Local/YARRIN/Nuc123.bin", QByteArray(3000, 'n')));
    // No such mouse is attached (the ids are ours alone).
    QCOMPARE(runUpdate("YARRIN", QString()), QList<int>{2});
    QCOMPARE(m_services->tips, QStringList{"1:updateFirm fail"});
    QVERIFY(tessalyGone());
}

// "-log" puts a log file of the hour in Tessaly's local data folder, which is made on the first line;
// without it nothing is written.
void TestTessalyEndToEnd::logFile()
{
    for (const bool withLog : {false, true}) {
        QProcess tessaly;
        tessaly.start(programFolder() + "/Tessaly", withLog ? QStringList{"-log"} : QStringList());
        QVERIFY(tessaly.waitForStarted());
        // No one listens: it logs the failed connection and idles.
        if (withLog)
            WAIT_VERIFY(logText().contains("connect server error"));
        else
            QTest::qWait(1500); // and writes no log
        tessaly.kill();
        tessaly.waitForFinished();
        const QString folder = m_data->path() + "/Tessaly/Log";
        QCOMPARE(QFileInfo(folder).isDir(), withLog);
        if (withLog) {
            const QStringList files = QDir(folder).entryList(QDir::Files);
            QCOMPARE(files.size(), 1);
            QVERIFY(QRegularExpression("^\\d{4}_\\d{2}_\\d{2}_\\d{2}\\.txt$").match(files.first()).hasMatch());
            QVERIFY(logText().contains("connect server error"));
        }
    }
}

QTEST_MAIN(TestTessalyEndToEnd)
#include "tst_tessalyendtoend.moc"
