#include "HBaseDevice.h"
#include "LauncherDouble.h"
#include "LogCapture.h"

#include "platform/process/ProcessControl.h"
#include "TestWait.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

// The base's services seen through a minimal updater.
class BaseProbe : public HBaseDevice
{
public:
    bool startUpdate(int*, QString) override { return false; }
    using HBaseDevice::startElevated;
    using HBaseDevice::waitForProgram;
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeScript(const QString& path, const QByteArray& body, bool executable = true)
{
    writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, executable ? QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                           : QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

class TestFwUpdateBase : public QObject
{
    Q_OBJECT
private slots:
    void copyFile_data();
    void copyFile();
    void removeFile();
    void elevatedStartFailures_data();
    void elevatedStartFailures();
    void declinedElevationSendsNothing();
    void programExitIsSeen_data();
    void programExitIsSeen();
    void findsProcessByExactName();
    void startedAsTheSeatUser();
};

void TestFwUpdateBase::copyFile_data()
{
    QTest::addColumn<QString>("source");     // relative to the temporary folder; "" = empty path
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QByteArray>("targetAfter");

    QTest::newRow("empty source") << "" << "t.bin" << false << false << false << "copyfile error 1" << QByteArray();
    QTest::newRow("source is a folder path") << "src/" << "t.bin" << false << false << false << "copyfile error 1"
                                             << QByteArray();
    QTest::newRow("target is a folder path") << "s.bin" << "out/" << false << false << false << "copyfile error 2"
                                             << QByteArray();
    QTest::newRow("new folder chain") << "s.bin" << "a/b/c/t.bin" << false << false << true << "" << QByteArray("new");
    QTest::newRow("existing target kept") << "s.bin" << "t.bin" << true << false << false << "copyfile error 4"
                                          << QByteArray("old");
    QTest::newRow("existing target replaced") << "s.bin" << "t.bin" << true << true << true << "" << QByteArray("new");
}

void TestFwUpdateBase::copyFile()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(bool, targetExists);
    QFETCH(bool, overwrite);
    QFETCH(bool, result);
    QFETCH(QString, log);
    QFETCH(QByteArray, targetAfter);

    QTemporaryDir dir;
    writeFile(dir.filePath("s.bin"), "new");
    if (targetExists)
        writeFile(dir.filePath(target), "old");
    const QString sourcePath = source.isEmpty() ? QString() : dir.path() + "/" + source;
    const QString targetPath = dir.path() + "/" + target;

    LogCapture logs;
    BaseProbe base;
    QCOMPARE(base.copyFile(QFileInfo(sourcePath), QFileInfo(targetPath), overwrite), result);
    if (!log.isEmpty())
        QVERIFY(logs.contains(log));
    if (!targetAfter.isNull())
        QCOMPARE(readFile(targetPath), targetAfter);
}

void TestFwUpdateBase::removeFile()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("x"), "1");
    BaseProbe base;
    QVERIFY(base.removeFile(QFileInfo(dir.filePath("x"))));
    QVERIFY(!QFile::exists(dir.filePath("x")));
    QVERIFY(!base.removeFile(QFileInfo(dir.filePath("x"))));
}

void TestFwUpdateBase::elevatedStartFailures_data()
{
    QTest::addColumn<QString>("program");   // relative to the temporary folder
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("log");
    QTest::newRow("no folder") << "missing/Flintor.exe" << "exePath not found" << "error path not found";
    QTest::newRow("no program") << "tools/Flintor.exe" << "exe not found" << "error file not found";
    QTest::newRow("not executable") << "tools/locked.exe" << "exe access denied" << "error access denied";
}

void TestFwUpdateBase::elevatedStartFailures()
{
    QFETCH(QString, program);
    QFETCH(QString, message);
    QFETCH(QString, log);
    QTemporaryDir dir;
    writeScript(dir.filePath("tools/locked.exe"), "exit 0\n", false);

    LogCapture logs;
    BaseProbe base;
    QSignalSpy results(&base, &HBaseDevice::sig_fwUpdateRequest);
    qint64 pid = -1;
    QVERIFY(!base.startElevated(dir.filePath(program), &pid));
    QCOMPARE(pid, qint64(0));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toInt(), 2);
    QCOMPARE(results.at(0).at(1).toString(), message);
    QVERIFY(logs.contains(log));
}

void TestFwUpdateBase::declinedElevationSendsNothing()
{
    QTemporaryDir dir;
    writeScript(dir.filePath("Flintor.exe"), "exit 0\n");
    LauncherDouble launcher;
    launcher.setDecline(true);
    BaseProbe base;
    QSignalSpy results(&base, &HBaseDevice::sig_fwUpdateRequest);
    qint64 pid = -1;
    QVERIFY(!base.startElevated(dir.filePath("Flintor.exe"), &pid));
    QCOMPARE(results.count(), 0);
    QCOMPARE(launcher.programs(), QStringList{dir.filePath("Flintor.exe")});
}

void TestFwUpdateBase::programExitIsSeen_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("exit 0") << QByteArray("exit 0\n") << true << 0;
    QTest::newRow("exit 3") << QByteArray("exit 3\n") << false << 3;
    QTest::newRow("crash") << QByteArray("kill -SEGV $$\n") << false << -1;
}

void TestFwUpdateBase::programExitIsSeen()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    writeScript(dir.filePath("tool.exe"), body);
    BaseProbe base;
    qint64 pid = 0;
    QVERIFY(base.startElevated(dir.filePath("tool.exe"), &pid));
    QVERIFY(pid > 0);
    int code = 99;
    QCOMPARE(base.waitForProgram(pid, &code), ok);
    QCOMPARE(code, exitCode);
}

void TestFwUpdateBase::findsProcessByExactName()
{
    // A copy of a real program under the maker's name, as the flashing programs run.
    QTemporaryDir dir;
    const QString copy = dir.filePath("Flintor.exe");
    QVERIFY(QFile::copy("/bin/sleep", copy));
    QProcess process;
    process.start(copy, {"30"});
    QVERIFY(process.waitForStarted());

    BaseProbe base;
    QCOMPARE(base.findProcessId(L"Flintor.exe"), int(process.processId()));
    QCOMPARE(base.findProcessId(L"flintor.exe"), 0);
    QCOMPARE(base.findProcessId(L"Flintor"), 0);
    QVERIFY(!base.killProcess(0));
    QVERIFY(base.killProcess(base.findProcessId(L"Flintor.exe")));
    QVERIFY(process.waitForFinished(TestWait::kBoundMs));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
}

void TestFwUpdateBase::startedAsTheSeatUser()
{
    if (::geteuid() != 0)
        QSKIP("only a program running as root starts programs for another user");
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                          | QFileDevice::ReadOther | QFileDevice::WriteOther
                                          | QFileDevice::ExeOther);
    writeScript(dir.filePath("tool.exe"), "id -u > " + dir.filePath("uid").toUtf8() + "\n");
    QFile::setPermissions(dir.filePath("tool.exe"), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                        | QFileDevice::ReadOther | QFileDevice::ExeOther);
    qputenv("PKEXEC_UID", "65534");
    BaseProbe base;
    qint64 pid = 0;
    const bool started = base.startElevated(dir.filePath("tool.exe"), &pid);
    qunsetenv("PKEXEC_UID");
    QVERIFY(started);
    QVERIFY(base.waitForProgram(pid, nullptr));
    QCOMPARE(readFile(dir.filePath("uid")).trimmed(), QByteArray("65534"));
}

QTEST_GUILESS_MAIN(TestFwUpdateBase)
#include "tst_fwupdatebase.moc"
