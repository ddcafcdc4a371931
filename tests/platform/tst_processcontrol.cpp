#include "platform/process/ProcessControl.h"
#include "TestWait.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/types.h>

namespace {

// Run as a child of the test: starts a program, leaves its end to the launcher and leaves main at once, so the
// launcher's background reaper is still starting while the process's statics are destroyed.
constexpr char kReleaseAndExit[] = "--release-and-exit";

int releaseAndExit()
{
    qint64 pid = 0;
    if (Platform::processLauncher()->startElevated(QStringLiteral("/bin/true"), &pid) != Platform::StartError::None)
        return 3;
    Platform::processLauncher()->release(pid);
    return 0;
}

} // namespace

class TestProcessControl : public QObject
{
    Q_OBJECT
private slots:
    void releasedProgramOutlivesTheProcess();
    void testRunsSeeOnlyTheirOwnPrograms();
};

void TestProcessControl::releasedProgramOutlivesTheProcess()
{
    // The race is narrow (a few runs in a hundred lost it): enough runs that a reaper calling into the destroyed
    // launcher shows as an abort.
    for (int run = 0; run < 300; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kReleaseAndExit)});
        QVERIFY(child.waitForFinished(TestWait::kBoundMs));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
}

void TestProcessControl::testRunsSeeOnlyTheirOwnPrograms()
{
    // A copy of the program started by someone else (detached: not our descendant) is not found, nor ended;
    // our own child of the same name is.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("Tarrow.exe"));
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
    qint64 foreign = 0;
    QVERIFY(QProcess::startDetached(copy, {QStringLiteral("30")}, QString(), &foreign));
    QProcess own;
    own.start(copy, {QStringLiteral("30")});
    QVERIFY(own.waitForStarted());
    WAIT_COMPARE(Platform::findProcessId(QStringLiteral("Tarrow.exe")), own.processId());
    QVERIFY(Platform::killProcess(own.processId()));
    QVERIFY(own.waitForFinished(TestWait::kBoundMs));
    QCOMPARE(Platform::findProcessId(QStringLiteral("Tarrow.exe")), qint64(0));
    QCOMPARE(::kill(pid_t(foreign), 0), 0);
    ::kill(pid_t(foreign), SIGKILL);
}

int main(int argc, char** argv)
{
    // As every test run: lookups by name are confined to this process's own programs.
    qputenv("CORVANE_TEST", "1");
    if (argc == 2 && std::strcmp(argv[1], kReleaseAndExit) == 0)
        return releaseAndExit();
    QCoreApplication app(argc, argv);
    TestProcessControl test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_processcontrol.moc"
