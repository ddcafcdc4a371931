#include "FakeProgram.h"
#include "HOakhamSeries.h"
#include "HRushtonSeries.h"
#include "HUlverdSeries.h"
#include "LogCapture.h"
#include "Mirelle.h"
#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "sim/firmware/SimOakhamMouse.h"
#include "TestWait.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A temporary program folder with the firmware tree below it, and the process's folder put back afterwards.
struct ProgramFolder {
    QTemporaryDir dir;
    QString previousCwd = QDir::currentPath();
    ProgramFolder() { ProgramFolders::setProgramFolder(dir.path()); }
    ~ProgramFolder()
    {
        ProgramFolders::setProgramFolder(QString());
        QDir::setCurrent(previousCwd);
    }
    QString path(const QString& relative) const { return dir.path() + relative; }
};

struct Result {
    int count = 0;
    int code = -1;
    QString message;
};

Result resultOf(const QSignalSpy& spy)
{
    Result r;
    r.count = spy.count();
    if (!spy.isEmpty()) {
        r.code = spy.last().at(0).toInt();
        r.message = spy.last().at(1).toString();
    }
    return r;
}

// The script line that makes the fake program end as the row asks.
QString ending(const QString& how)
{
    return how == "crash" ? QStringLiteral("crash") : QStringLiteral("exit ") + how;
}

// A stray process running under name, as a copy of a real program.
struct Stray {
    QTemporaryDir dir;
    QProcess process;
    explicit Stray(const QString& name)
    {
        const QString copy = dir.filePath(name);
        QFile::copy("/bin/sleep", copy);
        process.start(copy, {"30"});
        process.waitForStarted();
    }
    ~Stray()
    {
        process.kill();
        process.waitForFinished();
    }
};

} // namespace

class TestFlashTools : public QObject
{
    Q_OBJECT
private slots:
    void oakham_data();
    void oakham();
    void oakhamStartFailure();
    void oakhamMissingFile();
    void oakhamEndsOnlyItsOwnProgramName();
    void rushton_data();
    void rushton();
    void rushtonFolderOverride();
    void ulverd_data();
    void ulverd();
    void ulverdMissingFile();
};

void TestFlashTools::oakham_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("exit 0") << "0" << 0 << "OakhamSeries refresh success!";
    QTest::newRow("exit 3") << "3" << 2 << "OakhamSeries refresh error!";
    QTest::newRow("crash") << "crash" << 2 << "OakhamSeries refresh error!";
}

void TestFlashTools::oakham()
{
    QFETCH(QString, end);
    QFETCH(int, code);
    QFETCH(QString, message);
    ProgramFolder program;
    SimBusFixture bus;
    SimOakhamMouse mouse(bus.bus());
    mouse.plug(DeviceIds::kDunmor);   // every Oakham mouse comes out of the flashing program as "DUNMOR"

    const QString model = program.path("/Update/Local/HARLO");
    writeFile(model + "/new_version/newFirmware.MTP", "new");
    writeFile(model + "/old_version/oldFirmware.MTP", "old");
    writeFile(model + "/Config.ini", "[x]");
    const QString tool = program.path("/Update/Local/OakhamSeries");
    QVERIFY(FakeProgram::install(tool + "/Flintor.exe",
                                 {"expect-file new_version/newFirmware.MTP", "expect-file old_version/oldFirmware.MTP",
                                  "expect-file Config.ini", ending(end)}));

    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QSignalSpy progress(&mirelle, &Mirelle::qt_updateProgress);
    QVERIFY(mirelle.initFwDevice("HARLO", QString(), "en", QString()));

    const Result r = resultOf(results);
    QCOMPARE(r.count, 1);
    QCOMPARE(r.code, code);
    QCOMPARE(r.message, message);
    QCOMPARE(progress.count(), 0);
    QCOMPARE(FakeProgram::lastFolder(tool + "/Flintor.exe"), tool);
    // The placed files are gone again, and the process's folder is back.
    QVERIFY(!QFile::exists(tool + "/new_version/newFirmware.MTP"));
    QVERIFY(!QFile::exists(tool + "/Config.ini"));
    QCOMPARE(QDir::currentPath(), program.previousCwd);
    if (code == 0) {
        QCOMPARE(mouse.writtenId(), int(DeviceIds::kHarlo));
        QCOMPARE(mouse.productId(), DeviceIds::kHarlo);
        // On the wire: the feature report 0x14 0x01, then the id in a 33-byte report, low byte first.
        QByteArray feature, report;
        for (const SimTransfer& t : bus->transcript()) {
            if (t.op == SimTransfer::SetFeature)
                feature = t.bytes;
            if (t.op == SimTransfer::Write)
                report = t.bytes;
        }
        QCOMPARE(feature.left(3), QByteArray::fromHex("001401"));
        QCOMPARE(feature.mid(3), QByteArray(feature.size() - 3, '\0'));
        QCOMPARE(report.size(), 33);
        QCOMPARE(report.left(3), QByteArray::fromHex("00") + char(DeviceIds::kHarlo & 0xFF)
                                     + char(DeviceIds::kHarlo >> 8));
        QCOMPARE(report.mid(3), QByteArray(30, '\0'));
    } else {
        QCOMPARE(mouse.writtenId(), -1);
        QCOMPARE(mouse.productId(), DeviceIds::kDunmor);
    }
}

void TestFlashTools::oakhamStartFailure()
{
    ProgramFolder program;
    const QString model = program.path("/Update/Local/IVELL");
    writeFile(model + "/new_version/newFirmware.MTP");
    writeFile(model + "/old_version/oldFirmware.MTP");
    writeFile(model + "/Config.ini");
    LogCapture logs;
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(!mirelle.initFwDevice("IVELL", QString(), "en", QString()));
    const Result r = resultOf(results);
    QCOMPARE(r.count, 1);
    QCOMPARE(r.code, 2);
    QCOMPARE(r.message, QStringLiteral("exe not found"));
    QVERIFY(logs.contains("error OakhamSeries firmwareUpdate"));
    QVERIFY(logs.contains("initRefresh error"));
}

void TestFlashTools::oakhamMissingFile()
{
    ProgramFolder program;
    const QString model = program.path("/Update/Local/DUNMOR");
    writeFile(model + "/new_version/newFirmware.MTP");
    writeFile(model + "/Config.ini");
    const QString tool = program.path("/Update/Local/OakhamSeries");
    QVERIFY(FakeProgram::install(tool + "/Flintor.exe", {"exit 0"}));
    HOakhamSeries updater;
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    int pid = DeviceIds::kDunmor;
    QVERIFY(!updater.startUpdate(&pid, QString()));
    const Result r = resultOf(results);
    QCOMPARE(r.count, 1);
    QCOMPARE(r.message, QStringLiteral("Oakhamseries copyfile error!"));
    QVERIFY(QFile::exists(tool + "/new_version/newFirmware.MTP"));
    QVERIFY(!FakeProgram::hasRun(tool + "/Flintor.exe"));
}

void TestFlashTools::oakhamEndsOnlyItsOwnProgramName()
{
    ProgramFolder program;
    const QString model = program.path("/Update/Local/KINLOCH");
    writeFile(model + "/new_version/newFirmware.MTP");
    writeFile(model + "/old_version/oldFirmware.MTP");
    writeFile(model + "/Config.ini");
    QVERIFY(FakeProgram::install(program.path("/Update/Local/OakhamSeries/Flintor.exe"), {"exit 0"}));
    Stray leftover("Flintor.exe");
    Stray other("flintor.exe");
    HOakhamSeries updater;
    QSignalSpy results(&updater, &HBaseDevice::sig_fwUpdateRequest);
    int pid = DeviceIds::kKinloch;
    QVERIFY(updater.startUpdate(&pid, QString()));
    QCOMPARE(resultOf(results).code, 0);
    QVERIFY(leftover.process.waitForFinished(TestWait::kBoundMs));
    QCOMPARE(other.process.state(), QProcess::Running);
}

void TestFlashTools::rushton_data()
{
    oakham_data();
}

void TestFlashTools::rushton()
{
    QFETCH(QString, end);
    QFETCH(int, code);
    ProgramFolder program;
    const QString folder = program.path("/Update/Local/PEMBRY");
    QVERIFY(FakeProgram::install(folder + "/VeldtUpdataOnce.exe", {ending(end)}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("PEMBRY", QString(), "en", QString()));
    const Result r = resultOf(results);
    QCOMPARE(r.count, 1);
    QCOMPARE(r.code, code);
    QCOMPARE(r.message, code == 0 ? QStringLiteral("RushtonSeries refresh success!")
                                  : QStringLiteral("RushtonSeries refresh error!"));
}

void TestFlashTools::rushtonFolderOverride()
{
    ProgramFolder program;
    QTemporaryDir elsewhere;
    QVERIFY(FakeProgram::install(elsewhere.filePath("VeldtUpdataOnce.exe"), {"exit 0"}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("SELWIN", QString(), "en", elsewhere.path()));
    QCOMPARE(resultOf(results).code, 0);
    QVERIFY(FakeProgram::hasRun(elsewhere.filePath("VeldtUpdataOnce.exe")));

    // Without the program: the start's failure is the one result.
    QSignalSpy again(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(!mirelle.initFwDevice("SELWIN", QString(), "en", QString()));
    QCOMPARE(resultOf(again).count, 1);
    QCOMPARE(resultOf(again).message, QStringLiteral("exePath not found"));
}

void TestFlashTools::ulverd_data()
{
    oakham_data();
}

void TestFlashTools::ulverd()
{
    QFETCH(QString, end);
    QFETCH(int, code);
    ProgramFolder program;
    const QString model = program.path("/Update/Local/ULVERD_LOW");
    writeFile(model + "/new_version/boot.bin", "boot");
    writeFile(model + "/wtconfig.ini", "cfg");
    const QString tool = program.path("/Update/Local/BrennaSeries");
    QVERIFY(FakeProgram::install(tool + "/Flintorne.exe", {"expect-file boot.bin", "expect-file wtconfig.ini",
                                                           ending(end)}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("ULVERD_LOW", QString(), "en", QString()));
    const Result r = resultOf(results);
    QCOMPARE(r.count, 1);
    QCOMPARE(r.code, code);
    QCOMPARE(r.message, code == 0 ? QStringLiteral("UlverdSeries refresh success!")
                                  : QStringLiteral("UlverdSeries refresh error!"));
    QCOMPARE(FakeProgram::lastFolder(tool + "/Flintorne.exe"), tool);
    QVERIFY(!QFile::exists(tool + "/boot.bin"));
    QVERIFY(!QFile::exists(tool + "/wtconfig.ini"));
    QCOMPARE(QDir::currentPath(), program.previousCwd);
}

void TestFlashTools::ulverdMissingFile()
{
    ProgramFolder program;
    writeFile(program.path("/Update/Local/ULVERD/new_version/boot.bin"));
    const QString tool = program.path("/Update/Local/BrennaSeries");
    QVERIFY(FakeProgram::install(tool + "/Flintorne.exe", {"exit 0"}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(!mirelle.initFwDevice("ULVERD", QString(), "en", QString()));
    const Result r = resultOf(results);
    QCOMPARE(r.count, 1);
    QCOMPARE(r.code, 2);
    QCOMPARE(r.message, QStringLiteral("Ulverdseries copyfile error!"));
    QVERIFY(!FakeProgram::hasRun(tool + "/Flintorne.exe"));
}

QTEST_GUILESS_MAIN(TestFlashTools)
#include "tst_flashtools.moc"
