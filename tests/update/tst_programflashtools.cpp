#include "FakeProgram.h"

#include "common/ProgramFolders.h"
#include "update/FOakhamSeries_FirmWare.h"
#include "update/FRushtonSeries_FirmWare.h"
#include "update/HUlverdSeries_FirmWarre.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

struct ProgramFolder {
    QTemporaryDir dir;
    ProgramFolder() { ProgramFolders::setProgramFolder(dir.path()); }
    ~ProgramFolder() { ProgramFolders::setProgramFolder(QString()); }
    QString path(const QString& relative) const { return dir.path() + relative; }
};

// The one result of an update, waited for; -99 when none came.
int resultOf(QSignalSpy& spy)
{
    if (spy.isEmpty() && !spy.wait(TestWait::kBoundMs))
        return -99;
    QTest::qWait(20);   // nothing further may follow
    return spy.count() == 1 ? spy.first().first().toInt() : -98;
}

} // namespace

class TestProgramFlashTools : public QObject
{
    Q_OBJECT
private slots:
    void rushtonPassesTheExitCode_data();
    void rushtonPassesTheExitCode();
    void rushtonClosing();
    void oakham_data();
    void oakham();
    void ulverd_data();
    void ulverd();
};

void TestProgramFlashTools::rushtonPassesTheExitCode_data()
{
    QTest::addColumn<QStringList>("script");   // empty: no program at all
    QTest::addColumn<int>("code");
    QTest::newRow("exit 0") << QStringList{"exit 0"} << 0;
    QTest::newRow("exit 3") << QStringList{"exit 3"} << 3;
    QTest::newRow("crash") << QStringList{"crash"} << -1;
    QTest::newRow("cannot start") << QStringList() << -1;
}

void TestProgramFlashTools::rushtonPassesTheExitCode()
{
    QFETCH(QStringList, script);
    QFETCH(int, code);
    ProgramFolder program;
    const QString exe = program.path("/Update/Local/TAMSIN/VeldtUpdataOnce.exe");
    if (!script.isEmpty())
        QVERIFY(FakeProgram::install(exe, script));
    FRushtonSeries_FirmWare updater;
    QSignalSpy results(&updater, &FRushtonSeries_FirmWare::sigUpdateRequest);
    updater.runUpDateExe("TAMSIN");
    QCOMPARE(resultOf(results), code);
}

void TestProgramFlashTools::rushtonClosing()
{
    ProgramFolder program;
    QVERIFY(FakeProgram::install(program.path("/Update/Local/EDRIS/VeldtUpdataOnce.exe"), {"sleep 20000"}));
    FRushtonSeries_FirmWare updater;
    QSignalSpy results(&updater, &FRushtonSeries_FirmWare::sigUpdateRequest);
    updater.runUpDateExe("EDRIS");
    QVERIFY(updater.process()->waitForStarted(TestWait::kBoundMs));
    updater.timertoCloseProcess();
    QCOMPARE(resultOf(results), -1);
    // Closing an ended program does nothing.
    updater.timertoCloseProcess();
    QTest::qWait(20);
    QCOMPARE(results.count(), 1);
}

void TestProgramFlashTools::oakham_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("code");
    QTest::newRow("exit 0") << "exit 0" << 0;
    QTest::newRow("exit 3") << "exit 3" << 3;
    QTest::newRow("crash") << "crash" << -1;
    QTest::newRow("cannot start") << "" << -1;
}

void TestProgramFlashTools::oakham()
{
    QFETCH(QString, end);
    QFETCH(int, code);
    ProgramFolder program;
    const QString model = program.path("/Update/Local/GARRICK");
    writeFile(model + "/new_version/newFirmware.MTP");
    writeFile(model + "/old_version/oldFirmware.MTP");
    writeFile(model + "/Config.ini");
    const QString tool = program.path("/Update/Local/OakhamSeries");
    if (!end.isEmpty())
        QVERIFY(FakeProgram::install(tool + "/Flintor.exe", {"expect-file new_version/newFirmware.MTP",
                                                             "expect-file old_version/oldFirmware.MTP",
                                                             "expect-file Config.ini", end}));
    const QString cwd = QDir::currentPath();
    FOakhamSeries_FirmWare updater;
    QSignalSpy results(&updater, &FOakhamSeries_FirmWare::sigUpdateRequest);
    updater.start("GARRICK");
    QCOMPARE(QDir::currentPath(), cwd);
    QCOMPARE(resultOf(results), code);
    if (!end.isEmpty()) {
        QCOMPARE(FakeProgram::lastFolder(tool + "/Flintor.exe"), tool);
        QVERIFY(!QFile::exists(tool + "/Config.ini"));
    }
}

void TestProgramFlashTools::ulverd_data()
{
    oakham_data();
}

void TestProgramFlashTools::ulverd()
{
    QFETCH(QString, end);
    QFETCH(int, code);
    ProgramFolder program;
    const QString model = program.path("/Update/Local/ULVERD");
    writeFile(model + "/new_version/boot.bin");
    writeFile(model + "/wtconfig.ini");
    const QString tool = program.path("/Update/Local/BrennaSeries");
    if (!end.isEmpty())
        QVERIFY(FakeProgram::install(tool + "/Flintorne.exe", {"expect-file boot.bin", "expect-file wtconfig.ini", end}));
    HUlverdSeries_FirmWarre updater;
    QSignalSpy results(&updater, &HUlverdSeries_FirmWarre::sigUpdateRequest);
    updater.start("ULVERD");
    QCOMPARE(resultOf(results), code);
    if (!end.isEmpty()) {
        QCOMPARE(FakeProgram::lastFolder(tool + "/Flintorne.exe"), tool);
        QVERIFY(!QFile::exists(tool + "/boot.bin"));
        QVERIFY(!QFile::exists(tool + "/wtconfig.ini"));
    }
}

QTEST_GUILESS_MAIN(TestProgramFlashTools)
#include "tst_programflashtools.moc"
