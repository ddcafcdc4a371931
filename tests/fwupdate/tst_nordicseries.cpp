#include "FakeProgram.h"
#include "HCawdorSeries_Nordic.h"
#include "LogCapture.h"
#include "Mirelle.h"
#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "firmware/NordicDfuOutput.h"
#include "platform/sys/PlatformTime.h"
#include "sim/firmware/SimNordicMouse.h"
#include "TestWait.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Progress = QList<QPair<int, int>>;

const QString kPort = QStringLiteral("/dev/ttyACM7");

QList<QPair<int, int>> pairs(const QSignalSpy& spy)
{
    QList<QPair<int, int>> out;
    for (const QList<QVariant>& args : spy)
        out.append({args.at(0).toInt(), args.at(1).toInt()});
    return out;
}

// A Nesbit mouse on the bus, a program folder with the model's nrfutil, and the library.
struct NordicFixture {
    SimBusFixture bus;
    QTemporaryDir program;
    SimNordicMouse mouse{bus.bus(), DeviceIds::kNesbit, DeviceIds::kNordicDfuNesbit, kPort};
    NordicFixture() { ProgramFolders::setProgramFolder(program.path()); }
    ~NordicFixture() { ProgramFolders::setProgramFolder(QString()); }

    QString tool() const { return program.path() + "/Update/Local/NESBIT/nrfutil.exe"; }
    QString package() const { return program.path() + "/Update/Local/NESBIT/NESBIT_nRF52833_USB_DFU.zip"; }
    bool installTool(const QStringList& output)
    {
        return FakeProgram::install(tool(), QStringList{"expect-args dfu usb-serial -pkg " + package() + " -p " + kPort}
                                                + output);
    }
};

// Waits for the one result; {-99, ""} when none came.
QPair<int, QString> resultOf(QSignalSpy& spy)
{
    if (spy.isEmpty() && !spy.wait(TestWait::kBoundMs))
        return {-99, QString()};
    QTest::qWait(30);
    if (spy.count() != 1)
        return {-98, QString::number(spy.count()) + " results"};
    return {spy.first().at(0).toInt(), spy.first().at(1).toString()};
}

} // namespace

class TestNordicSeries : public QObject
{
    Q_OBJECT
private slots:
    void outputLines_data();
    void outputLines();
    void flashes();
    void portAfterRounds_data();
    void portAfterRounds();
    void portNever();
    void mouseAlreadyInBootloader();
    void noMouseAtAll();
    void toolEndsWithoutTheEnd_data();
    void toolEndsWithoutTheEnd();
    void refusedIds();
    void nextUpdateStartedFromTheResult();
    void searchWithoutTarget_data();
    void searchWithoutTarget();
};

void TestNordicSeries::outputLines_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<Progress>("progress");   // (value, total) after each progress line
    QTest::addColumn<bool>("ended");
    QTest::newRow("the tool's sequence")
        << QList<QByteArray>{"farrantupdatestart\r\n", "totle:200\r\n", "value:50\r\n", "value:50\r\n",
                             "farrantupdateend\r\n"}
        << Progress{{0, 0}, {0, 200}, {50, 200}, {100, 200}} << true;
    QTest::newRow("two lines in one read") << QList<QByteArray>{"totle:100\r\nvalue:30\r\nvalue:30\r\n"}
                                           << Progress{{0, 100}, {30, 100}, {60, 100}} << false;
    QTest::newRow("a line cut in two reads") << QList<QByteArray>{"val", "ue:7\r", "\nfarrantupdateend"}
                                             << Progress{{7, 0}} << true;
    QTest::newRow("a keyword inside other text reads 0") << QList<QByteArray>{"progress value:9\r\n"}
                                                         << Progress{{0, 0}} << false;
    QTest::newRow("start resets") << QList<QByteArray>{"totle:10\r\nvalue:5\r\nfarrantupdatestart\r\n"}
                                  << Progress{{0, 10}, {5, 10}, {0, 0}} << false;
}

void TestNordicSeries::outputLines()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(Progress, progress);
    QFETCH(bool, ended);
    NordicDfuOutput output;
    Progress seen;
    auto take = [&](const QList<NordicDfuOutput::Line>& lines) {
        for (const NordicDfuOutput::Line& line : lines) {
            if (line.event == NordicDfuOutput::Event::Progress)
                seen.append({line.value, line.total});
        }
    };
    for (const QByteArray& piece : pieces)
        take(output.feed(piece));
    take(output.finish());
    QCOMPARE(seen, progress);
    QCOMPARE(output.ended(), ended);
}

void TestNordicSeries::flashes()
{
    NordicFixture f;
    f.mouse.plugApplication();
    QVERIFY(f.installTool({"print farrantupdatestart", "print totle:200", "sleep 20", "print value:50", "sleep 20",
                           "print value:50", "print farrantupdateend"}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QSignalSpy progress(&mirelle, &Mirelle::qt_updateProgress);
    QVERIFY(mirelle.initFwDevice("NESBIT", QString(), "en", QString()));
    QCOMPARE(resultOf(results), (QPair<int, QString>{0, "successed update"}));
    QCOMPARE(pairs(progress), (Progress{{0, 0}, {0, 200}, {50, 200}, {100, 200}}));
    QCOMPARE(f.mouse.enterReports(), 1);
    QCOMPARE(FakeProgram::lastArguments(f.tool()),
             (QStringList{"dfu", "usb-serial", "-pkg", f.package(), "-p", kPort}));
    QString title;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<HProcessBar*>(w))
            title = w->windowTitle();
    }
    QCOMPARE(title, QStringLiteral("NESBIT series flash firmware"));
}

void TestNordicSeries::portAfterRounds_data()
{
    QTest::addColumn<int>("hidden");
    QTest::newRow("at once") << 0;
    QTest::newRow("after 4 rounds") << 4;
    QTest::newRow("in the last round") << 9;
}

void TestNordicSeries::portAfterRounds()
{
    QFETCH(int, hidden);
    NordicFixture f;
    f.mouse.setPortDelay(hidden);
    f.mouse.plugApplication();
    QVERIFY(f.installTool({"print farrantupdateend"}));
    Platform::clearRecordedSleeps();
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("NESBIT", QString(), "en", QString()));
    QCOMPARE(resultOf(results).first, 0);
    QCOMPARE(f.bus->serialListings(), hidden + 1);
    QCOMPARE(Platform::recordedSleeps(), QVector<int>(hidden, 500).toList());
}

void TestNordicSeries::portNever()
{
    NordicFixture f;
    f.mouse.setPortDelay(-1);
    f.mouse.plugApplication();
    QVERIFY(f.installTool({"print farrantupdateend"}));
    Platform::clearRecordedSleeps();
    LogCapture logs;
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("NESBIT", QString(), "en", QString()));
    QCOMPARE(resultOf(results), (QPair<int, QString>{2, QStringLiteral("[警告] 未找到串口号设备: ")}));
    QCOMPARE(f.bus->serialListings(), 10);
    QCOMPARE(Platform::recordedSleeps(), QVector<int>(9, 500).toList());
    QVERIFY(logs.contains("find error"));
    QVERIFY(!FakeProgram::hasRun(f.tool()));
}

void TestNordicSeries::mouseAlreadyInBootloader()
{
    NordicFixture f;
    f.mouse.plugPort();
    QVERIFY(f.installTool({"print farrantupdateend"}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("NESBIT", QString(), "en", QString()));
    // Only the success: no warning about the missing application interface.
    QCOMPARE(resultOf(results), (QPair<int, QString>{0, "successed update"}));
    QCOMPARE(f.mouse.enterReports(), 0);
}

void TestNordicSeries::noMouseAtAll()
{
    NordicFixture f;
    QVERIFY(f.installTool({"print farrantupdateend"}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("NESBIT", QString(), "en", QString()));
    QCOMPARE(resultOf(results), (QPair<int, QString>{2, QStringLiteral("[警告] 未找到该pid设备")}));
}

void TestNordicSeries::toolEndsWithoutTheEnd_data()
{
    QTest::addColumn<QStringList>("script");   // empty: no tool at all
    QTest::addColumn<QString>("message");
    QTest::newRow("exit 0 without the end") << QStringList{"print value:10", "exit 0"}
                                            << "nrfutil ended before the update was complete";
    QTest::newRow("crash") << QStringList{"print farrantupdatestart", "crash"}
                           << "nrfutil ended before the update was complete";
    QTest::newRow("wrong arguments") << QStringList{"expect-args nothing", "print farrantupdateend"}
                                     << "nrfutil ended before the update was complete";
    QTest::newRow("no tool") << QStringList() << "nrfutil could not be started";
}

void TestNordicSeries::toolEndsWithoutTheEnd()
{
    QFETCH(QStringList, script);
    QFETCH(QString, message);
    NordicFixture f;
    f.mouse.plugApplication();
    if (!script.isEmpty())
        QVERIFY(FakeProgram::install(f.tool(), script));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("NESBIT", QString(), "en", QString()));
    QCOMPARE(resultOf(results), (QPair<int, QString>{2, message}));
}

void TestNordicSeries::refusedIds()
{
    NordicFixture f;
    f.mouse.plugApplication();
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(!mirelle.initFwDevice("NESBIT_WIRELESS", QString(), "en", QString()));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.first().at(1).toString(), QStringLiteral("wireless cannot update Fw!!!"));
    // A Nordic model without a device-list entry: nothing starts and nothing is reported.
    QVERIFY(!mirelle.initFwDevice("ELWIN", QString(), "en", QString()));
    QTest::qWait(20);
    QCOMPARE(results.count(), 1);
    QCOMPARE(f.mouse.enterReports(), 0);
}

void TestNordicSeries::nextUpdateStartedFromTheResult()
{
    // A caller may start the next update from its result handler: the finished update goes from under it.
    NordicFixture f;
    f.mouse.plugApplication();
    QVERIFY(f.installTool({"print value:5", "exit 0"}));
    Mirelle mirelle;
    QList<QPair<int, QString>> results;
    connect(&mirelle, &Mirelle::qt_updateFinished, this, [&](int code, const QString& message) {
        results.append({code, message});
        if (results.size() == 1)
            mirelle.initFwDevice("NESBIT_WIRELESS", QString(), "en", QString());
    });
    QVERIFY(mirelle.initFwDevice("NESBIT", QString(), "en", QString()));
    WAIT_COMPARE(results.size(), 2);
    QCOMPARE(results.at(0).second, QStringLiteral("nrfutil ended before the update was complete"));
    QCOMPARE(results.at(1).second, QStringLiteral("wireless cannot update Fw!!!"));
    QTest::qWait(30);
    QCOMPARE(results.size(), 2);
}

void TestNordicSeries::searchWithoutTarget_data()
{
    QTest::addColumn<int>("portPid");
    QTest::addColumn<bool>("found");
    QTest::newRow("wired bootloader") << int(DeviceIds::kNordicDfuWired) << true;
    QTest::newRow("receiver's bootloader") << int(DeviceIds::kNordicDfuWireless) << true;
    QTest::newRow("another model's bootloader") << int(DeviceIds::kNordicDfuNesbit) << false;
}

void TestNordicSeries::searchWithoutTarget()
{
    QFETCH(int, portPid);
    QFETCH(bool, found);
    SimBusFixture bus;
    bus->plugSerialPort(kPort, DeviceIds::kVendorId, quint16(portPid));
    bus->plugSerialPort("/dev/ttyS0", 0x1234, quint16(portPid));
    HCawdorSeries_Nordic_BootloadThread thread;
    thread.setTargetPid(0);
    QSignalSpy result(&thread, &HCawdorSeries_Nordic_BootloadThread::sigResult);
    thread.start();
    QVERIFY(thread.wait(TestWait::kBoundMs));
    QCOMPARE(result.count(), 1);
    QCOMPARE(result.first().first().toString(), found ? kPort : QString());
}

QTEST_MAIN(TestNordicSeries)
#include "tst_nordicseries.moc"
