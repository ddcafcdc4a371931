#include "platform/process/ProcessControl.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <cstring>

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
};

void TestProcessControl::releasedProgramOutlivesTheProcess()
{
    // The race is narrow (a few runs in a hundred lost it): enough runs that a reaper calling into the destroyed
    // launcher shows as an abort.
    for (int run = 0; run < 300; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kReleaseAndExit)});
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], kReleaseAndExit) == 0)
        return releaseAndExit();
    QCoreApplication app(argc, argv);
    TestProcessControl test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_processcontrol.moc"
