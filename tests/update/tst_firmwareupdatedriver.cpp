#include "FakeProgram.h"
#include "LauncherDouble.h"
#include "LogCapture.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "platform/process/ProcessControl.h"
#include "platform/sys/PlatformTime.h"
#include "update/FUpdateGFirmWare.h"
#include "update/UpdateProtocol.h"
#include "TestWait.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
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

// A free port on 127.0.0.1 for this program's updates.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool portIsFree()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, UpdateProtocol::port());
}

const QString kEvent = QStringLiteral("device_firmware/firmware_udpate/");

} // namespace

// The driver with the fake outside program standing in for Tessaly: it connects, reads the job line and sends
// the status messages of its script.
class TestFirmwareUpdateDriver : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void scriptedRuns_data();
    void scriptedRuns();
    void neverConnects();
    void secondClientAndSecondStart();
    void unprovenConnections_data();
    void unprovenConnections();
    void updateDeadline();
    void launchFailures_data();
    void launchFailures();
    void leftoverProgram();
    void portTaken();

private:
    QString programPath() const { return m_folder->path() + QStringLiteral("/Tessaly"); }
    // Waits until no program of Tessaly's name runs.
    bool programGone();

    QScopedPointer<QTemporaryDir> m_folder;
    LauncherDouble* m_launcher = nullptr;
    RecordingServices* m_services = nullptr;
};

void TestFirmwareUpdateDriver::initTestCase()
{
    qputenv("CORVANE_UPDATE_PORT", QByteArray::number(freePort()));
}

void TestFirmwareUpdateDriver::init()
{
    m_folder.reset(new QTemporaryDir);
    ProgramFolders::setProgramFolder(m_folder->path());
    m_launcher = new LauncherDouble;
    m_services = new RecordingServices;
    m_services->language = QStringLiteral("en");
    Platform::clearRecordedSleeps();
}

void TestFirmwareUpdateDriver::cleanup()
{
    Platform::setKillHook({});
    Platform::killProcess(Platform::findProcessId(FUpdateGFirmWare::kProgramName));
    delete m_services;
    delete m_launcher;
    ProgramFolders::setProgramFolder(QString());
    m_folder.reset();
}

bool TestFirmwareUpdateDriver::programGone()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < TestWait::kBoundMs) {
        if (Platform::findProcessId(FUpdateGFirmWare::kProgramName) == 0)
            return true;
        QTest::qWait(20);
    }
    return false;
}

void TestFirmwareUpdateDriver::scriptedRuns_data()
{
    QTest::addColumn<QStringList>("sends");
    QTest::addColumn<bool>("staysConnected");
    QTest::addColumn<Progress>("progress");
    QTest::addColumn<int>("result");
    QTest::newRow("hollis progress and end")
        << QStringList{"updatestart", "value:37\\r\\ntotle:100\\r\\n", "value:100\\r\\ntotle:100\\r\\n", "updateend"}
        << true << Progress{{0, 0}, {37, 0}, {37, 100}, {100, 100}, {100, 100}} << 0;
    QTest::newRow("nordic success") << QStringList{"value:0\\r\\ntotle:successed update\\r\\n"} << true
                                    << Progress{{0, 0}, {0, 0}} << 0;
    QTest::newRow("download fail") << QStringList{"download fail"} << true << Progress{} << 3;
    QTest::newRow("failure") << QStringList{"initFwDevice error"} << true << Progress{} << 2;
    QTest::newRow("leaves before an end") << QStringList{"value:5\\r\\ntotle:100\\r\\n"} << false
                                          << Progress{{5, 0}, {5, 100}} << 2;
    QTest::newRow("bare numbers then end") << QStringList{"0\\r\\n30000\\r\\n", "updateend"} << true
                                           << Progress{} << 0;
}

void TestFirmwareUpdateDriver::scriptedRuns()
{
    QFETCH(QStringList, sends);
    QFETCH(bool, staysConnected);
    QStringList script = {"tcp-connect", "tcp-prove", "tcp-read"};
    for (const QString& text : sends)
        script << "tcp-send " + text << "sleep 100";
    // Staying, the program waits to be ended; leaving, it closes the connection with no end sent.
    script << (staysConnected ? "sleep 30000" : "tcp-close");
    QVERIFY(FakeProgram::install(programPath(), script));

    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    QSignalSpy progress(&driver, &FUpdateGFirmWare::sigProgress);
    driver.setDownloadUrl("http://127.0.0.1:1/fw;v=2");
    driver.stateUpdateFirm("ZEPHRA");
    QVERIFY(results.wait(TestWait::kBoundMs));
    QTest::qWait(300);   // ending the program reports nothing more
    QFETCH(int, result);
    QCOMPARE(codesOf(results), QList<int>{result});
    QTEST(progressOf(progress), "progress");
    QCOMPARE(FakeProgram::received(programPath()), QByteArray("ZEPHRA;en;http://127.0.0.1:1/fw;v=2"));
    const QStringList arguments = FakeProgram::lastArguments(programPath());
    QCOMPARE(arguments.mid(0, 2), (QStringList{"-log", "-token-file"}));
    QCOMPARE(arguments.size(), 3);
    QVERIFY(programGone());
    // The token is good for one run: its file is gone with the update.
    QVERIFY(!QFile::exists(arguments.at(2)));
    QVERIFY(portIsFree());
    QVERIFY(m_services->events.contains(kEvent + "success"));
    QCOMPARE(m_services->tips.contains("1:updateFirm fail"), result == 2);
}

void TestFirmwareUpdateDriver::neverConnects()
{
    QVERIFY(FakeProgram::install(programPath(), {"sleep 30000"}));
    FUpdateGFirmWare driver;
    driver.setConnectDeadline(300);
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.stateUpdateFirm("ZEPHRA");
    QVERIFY(results.wait(TestWait::kBoundMs));
    QCOMPARE(codesOf(results), QList<int>{2});
    QVERIFY(programGone());
    QVERIFY(portIsFree());
}

// A second peer gets no job and is not heard; a second start while one runs is ignored.
void TestFirmwareUpdateDriver::secondClientAndSecondStart()
{
    QVERIFY(FakeProgram::install(programPath(), {"tcp-connect", "tcp-prove", "tcp-read", "sleep 3000", "tcp-send updateend",
                                                 "sleep 30000"}));
    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.stateUpdateFirm("ZEPHRA");
    WAIT_VERIFY(!FakeProgram::received(programPath()).isEmpty());

    QTcpSocket intruder;
    intruder.connectToHost(QHostAddress::LocalHost, UpdateProtocol::port());
    // Refused, or closed unheard when it got in before the server stopped listening.
    if (intruder.waitForConnected(1000)) {
        intruder.write("download fail");
        intruder.waitForBytesWritten(1000);
    }
    WAIT_COMPARE(intruder.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(intruder.bytesAvailable(), 0);
    driver.stateUpdateFirm("ZEPHRA");
    QCOMPARE(m_launcher->programs().size(), 1);
    QCOMPARE(results.count(), 0);

    QVERIFY(results.wait(TestWait::kBoundMs));
    QTest::qWait(300);
    QCOMPARE(codesOf(results), QList<int>{0});
}

void TestFirmwareUpdateDriver::unprovenConnections_data()
{
    QTest::addColumn<QByteArray>("firstLine");
    QTest::newRow("wrong token") << QByteArray("token:00000000000000000000000000000000\r\n");
    QTest::newRow("empty token") << QByteArray("token:\r\n");
    QTest::newRow("an end message first") << QByteArray("updateend\r\n");
    QTest::newRow("a long line") << QByteArray(200, 'x');
    QTest::newRow("no line at all") << QByteArray();
}

// A local process that connects before the update program gets no job and cannot end the update; the program
// started for it, proving its token, does.
void TestFirmwareUpdateDriver::unprovenConnections()
{
    QFETCH(QByteArray, firstLine);
    QVERIFY(FakeProgram::install(programPath(), {"sleep 500", "tcp-connect", "tcp-prove", "tcp-read", "sleep 300",
                                                 "tcp-send updateend", "sleep 30000"}));
    LogCapture log;
    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.stateUpdateFirm("ZEPHRA");
    QTcpSocket intruder;
    intruder.connectToHost(QHostAddress::LocalHost, UpdateProtocol::port());
    QVERIFY(intruder.waitForConnected(5000));
    if (!firstLine.isEmpty()) {
        intruder.write(firstLine);
        QVERIFY(intruder.waitForBytesWritten(1000));
    }
    QVERIFY(results.wait(10000));
    QTest::qWait(300);
    QCOMPARE(codesOf(results), QList<int>{0});
    QCOMPARE(FakeProgram::received(programPath()), QByteArray("ZEPHRA;en;"));
    WAIT_COMPARE(intruder.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(intruder.bytesAvailable(), 0);
    QVERIFY(log.contains("update connection refused"));
}

// The program proved itself and then never ends: the update ends as failed at its deadline.
void TestFirmwareUpdateDriver::updateDeadline()
{
    QVERIFY(FakeProgram::install(programPath(), {"tcp-connect", "tcp-prove", "tcp-read", "sleep 30000"}));
    FUpdateGFirmWare driver;
    driver.setUpdateDeadline(500);
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.stateUpdateFirm("ZEPHRA");
    QVERIFY(results.wait(10000));
    QTest::qWait(300);
    QCOMPARE(codesOf(results), QList<int>{2});
    QVERIFY(programGone());
    QVERIFY(portIsFree());
}

void TestFirmwareUpdateDriver::launchFailures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("label");
    QTest::newRow("file not found (2)") << "none" << "file_fail";
    QTest::newRow("path not found (3)") << "no folder" << "path_fail";
    QTest::newRow("access denied (5)") << "not executable" << "access_fail";
    QTest::newRow("declined (1223)") << "decline" << "cancelled_fail";
}

void TestFirmwareUpdateDriver::launchFailures()
{
    QFETCH(QString, setup);
    if (setup == "no folder")
        ProgramFolders::setProgramFolder(m_folder->path() + "/missing");
    if (setup == "not executable" || setup == "decline")
        QVERIFY(FakeProgram::install(programPath(), {"tcp-connect", "tcp-prove", "tcp-read", "sleep 30000"}));
    if (setup == "not executable")
        QFile::setPermissions(programPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_launcher->setDecline(setup == "decline");

    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.stateUpdateFirm("ZEPHRA");
    QCOMPARE(codesOf(results), QList<int>{2});
    QFETCH(QString, label);
    QCOMPARE(m_services->events, QStringList{kEvent + label});
    QTest::qWait(100);
    QVERIFY(portIsFree());
    QCOMPARE(results.count(), 1);
}

// A leftover program that will not end keeps the update from starting, and the page hears of it; one that
// ends is ended first.
void TestFirmwareUpdateDriver::leftoverProgram()
{
    QVERIFY(FakeProgram::install(programPath(), {"sleep 30000"}));
    QProcess leftover;
    leftover.start(programPath(), QStringList());
    QVERIFY(leftover.waitForStarted());
    WAIT_VERIFY(Platform::findProcessId(FUpdateGFirmWare::kProgramName) != 0);

    Platform::setKillHook([](qint64) { return false; });
    {
        FUpdateGFirmWare driver;
        QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
        driver.stateUpdateFirm("ZEPHRA");
        QCOMPARE(codesOf(results), QList<int>{2});
        QVERIFY(m_launcher->programs().isEmpty());
        QCOMPARE(Platform::recordedSleeps(), (QList<int>{500, 500, 500}));
        QVERIFY(portIsFree());
    }

    Platform::setKillHook({});
    QVERIFY(FakeProgram::install(programPath(), {"tcp-connect", "tcp-prove", "tcp-read", "tcp-send updateend", "sleep 30000"}));
    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.stateUpdateFirm("ZEPHRA");
    QVERIFY(leftover.waitForFinished(TestWait::kBoundMs));
    QVERIFY(results.wait(TestWait::kBoundMs));
    QCOMPARE(codesOf(results), QList<int>{0});
}

void TestFirmwareUpdateDriver::portTaken()
{
    QVERIFY(FakeProgram::install(programPath(), {"tcp-connect", "tcp-prove", "tcp-read", "sleep 30000"}));
    QTcpServer holder;
    QVERIFY(holder.listen(QHostAddress::LocalHost, UpdateProtocol::port()));
    FUpdateGFirmWare driver;
    QSignalSpy results(&driver, &FUpdateGFirmWare::sigUpdateRequest);
    driver.stateUpdateFirm("ZEPHRA");
    QCOMPARE(codesOf(results), QList<int>{2});
    QVERIFY(m_launcher->programs().isEmpty());
}

QTEST_MAIN(TestFirmwareUpdateDriver)
#include "tst_firmwareupdatedriver.moc"
