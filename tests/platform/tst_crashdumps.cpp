#include "MinidumpReader.h"
#include "platform/crash/BreakpadHandler.h"
#include "platform/crash/MinidumpFormat.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

// The standard minidump tools (installed by scripts/install-deps.sh); empty where they are not shipped.
QString minidumpTool(const QString& name)
{
#if defined(__x86_64__)
    QString folder = qEnvironmentVariable("CORVANE_MINIDUMP_TOOLS");
    if (folder.isEmpty())
        folder = QStringLiteral("/opt/corvane-tools/minidump-0.26.0/node_modules/minidump/bin/linux-x64");
    return folder + QLatin1Char('/') + name;
#else
    Q_UNUSED(name);
    return QString();
#endif
}

// Runs a tool on the dump: its exit code and standard output.
QPair<int, QByteArray> runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, process.readAllStandardError()};
    return {process.exitCode(), process.readAllStandardOutput()};
}

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

} // namespace

class TestCrashDumps : public QObject
{
    Q_OBJECT
private slots:
    // The helper crashes in each way: one dump, private to the user, readable, and the process still ends by
    // the signal that hit it.
    void crashLeavesOneDump_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("fromHardware");
        QTest::addColumn<QString>("reason"); // as the standard tools name it
        QTest::newRow("null write") << "null-write" << SIGSEGV << true << "SIGSEGV";
        QTest::newRow("abort") << "abort" << SIGABRT << false << "SIGABRT";
        QTest::newRow("division by zero") << "divide" << SIGFPE << true << "SIGFPE";
        QTest::newRow("raised SIGBUS") << "sigbus" << SIGBUS << false << "SIGBUS";
        QTest::newRow("raised SIGILL") << "sigill" << SIGILL << false << "SIGILL";
        QTest::newRow("two threads at once") << "two-threads" << SIGSEGV << true << "SIGSEGV";
        QTest::newRow("main stack overflow") << "overflow" << SIGSEGV << true << "SIGSEGV";
        QTest::newRow("thread stack overflow") << "thread-overflow" << SIGSEGV << true << "SIGSEGV";
    }
    void crashLeavesOneDump()
    {
        QFETCH(QString, how);
        QFETCH(int, signal);
        QFETCH(bool, fromHardware);
        QFETCH(QString, reason);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        // The sanitizers take the fault signals themselves and end the helper their own way.
        QSKIP("crash handling is not checked in sanitizer builds");
#endif
        QTemporaryDir dir;
        const QString folder = dir.filePath("local/crashs");

        QProcess helper;
        helper.start(QStringLiteral(CORVANE_CRASH_HELPER), {folder, how});
        QVERIFY(helper.waitForStarted(20000));
        const qint64 helperPid = helper.processId();
        QVERIFY(helper.waitForFinished(20000));
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        QCOMPARE(helper.exitCode(), signal);

        QCOMPARE(modeOf(folder), mode_t(0700));
        const QStringList dumps = QDir(folder).entryList({"*.dmp"}, QDir::Files);
        QCOMPARE(dumps.size(), 1);
        const QString dumpFile = folder + '/' + dumps.first();
        QCOMPARE(modeOf(dumpFile), mode_t(0600));

        const QString id = dumps.first().chopped(4);
        const QByteArray err = helper.readAllStandardError();
        QVERIFY2(err.contains("Succeed to write minidump, dump path: " + QFile::encodeName(folder + '/' + id) + '\n'),
                 err.constData());

        QFile file(dumpFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const MinidumpContents dump = readMinidump(file.readAll());
        QVERIFY2(dump.error.isEmpty(), qPrintable(dump.error));
        QCOMPARE(dump.streamTypes,
                 (QList<quint32>{Minidump::SystemInfoStream, Minidump::ExceptionStream, Minidump::ThreadListStream,
                                 Minidump::MemoryListStream, Minidump::MiscInfoStream, Minidump::ModuleListStream,
                                 Minidump::MemoryInfoListStream}));
        QCOMPARE(dump.platformId, Minidump::kPlatformLinux);
        QCOMPARE(dump.signal, quint32(signal));
        QCOMPARE(dump.threadIds, QList<quint32>{dump.exceptionThread});
        if (fromHardware)
            QVERIFY(qint32(dump.signalCode) > 0);
        // An overflow faults in the guard page below the stack, where the stack pointer may already point.
        const bool overflow = how.endsWith(QLatin1String("overflow"));
        if (signal == SIGSEGV && !overflow)
            QCOMPARE(dump.exceptionAddress, quint64(0));
#if defined(__x86_64__)
        QCOMPARE(dump.architecture, Minidump::kArchAmd64);
        QVERIFY(dump.instructionPointer != 0);
        QVERIFY(dump.stackSize > 0);
        if (overflow)
            QVERIFY(dump.stackPointer < dump.stackStart + dump.stackSize);
        else
            QVERIFY(dump.stackStart <= dump.stackPointer && dump.stackPointer < dump.stackStart + dump.stackSize);
        // The memory list holds the same stack copy, and the mappings list the stack's as writable.
        QCOMPARE(dump.memoryRanges, (QList<QPair<quint64, quint32>>{{dump.stackStart, dump.stackSize}}));
        const auto stackMapping = std::find_if(dump.memoryInfo.cbegin(), dump.memoryInfo.cend(), [&](const auto& m) {
            return m.base <= dump.stackPointer && dump.stackPointer < m.base + m.size;
        });
        if (!overflow) {
            QVERIFY(stackMapping != dump.memoryInfo.cend());
            QCOMPARE(stackMapping->protect, Minidump::kPageReadWrite);
        }
#endif
        QCOMPARE(qint64(dump.processId), helperPid);
        const QString helperPath = QFileInfo(QStringLiteral(CORVANE_CRASH_HELPER)).canonicalFilePath();
        QVERIFY2(dump.modules.contains(helperPath), qPrintable(dump.modules.join('\n')));
        // Each module with its build id, as the linker wrote it into the file.
        const QByteArray helperId = elfBuildId(helperPath);
        QVERIFY(!helperId.isEmpty());
        QCOMPARE(dump.buildIds.value(dump.modules.indexOf(helperPath)).toHex(), helperId.toHex());
        const int libc = dump.modules.indexOf(QRegularExpression(".*/libc\\.so\\.6$"));
        QVERIFY(libc >= 0);
        QCOMPARE(dump.buildIds.at(libc).toHex(), elfBuildId(dump.modules.at(libc)).toHex());

        // The standard tools read it whole: the crash reason, the crashing thread and the helper among the modules.
        const QString dumper = minidumpTool(QStringLiteral("minidump_dump"));
        if (dumper.isEmpty())
            return; // no prebuilt tools for this architecture
        QVERIFY2(QFileInfo(dumper).isExecutable(), "run scripts/install-deps.sh: it installs the minidump tools");
        const auto dumped = runTool(dumper, {dumpFile});
        QVERIFY2(dumped.first == 0, dumped.second.right(2000).constData());

        const auto walked = runTool(minidumpTool(QStringLiteral("minidump_stackwalk")), {QStringLiteral("-m"), dumpFile});
        QCOMPARE(walked.first, 0);
        QString crashLine, moduleLine;
        for (const QString& line : QString::fromUtf8(walked.second).split('\n')) {
            if (line.startsWith(QLatin1String("Crash|")))
                crashLine = line;
            else if (line.startsWith(QLatin1String("Module|") + QFileInfo(helperPath).fileName() + '|'))
                moduleLine = line;
        }
        // "Crash|<reason>|<address>|<crashing thread's index>"
        const QStringList crash = crashLine.split('|');
        QVERIFY2(crash.size() == 4, walked.second.constData());
        QVERIFY2(crash.at(1).startsWith(reason), qPrintable(crashLine));
        QCOMPARE(crash.at(3), QString("0"));
        QVERIFY2(!moduleLine.isEmpty(), walked.second.constData());
    }

    // The dump and the program's own symbols give the crashing function, through the script a developer runs.
    void dumpSymbolisesToTheCrashingFunction()
    {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("crash handling is not checked in sanitizer builds");
#endif
        if (minidumpTool(QStringLiteral("dump_syms")).isEmpty())
            QSKIP("no prebuilt minidump tools for this architecture");
        QTemporaryDir dir;
        const QString folder = dir.filePath("crashs");
        QProcess helper;
        helper.start(QStringLiteral(CORVANE_CRASH_HELPER), {folder, QStringLiteral("null-write")});
        QVERIFY(helper.waitForFinished(20000));
        const QStringList dumps = QDir(folder).entryList({"*.dmp"}, QDir::Files);
        QCOMPARE(dumps.size(), 1);

        const auto symbolised = runTool(QStringLiteral(CORVANE_SOURCE_DIR "/scripts/symbolize-dump.sh"),
                                        {folder + '/' + dumps.first(), QStringLiteral(CORVANE_CRASH_HELPER)});
        QVERIFY2(symbolised.first == 0, symbolised.second.constData());
        // The crashing thread's first frame: "<module>!<function> [<file> : <line> + <offset>]".
        const QStringList lines = QString::fromUtf8(symbolised.second).split('\n');
        const int crashed = lines.indexOf(QRegularExpression("^Thread \\d+ \\(crashed\\)$"));
        QVERIFY2(crashed >= 0 && crashed + 1 < lines.size(), symbolised.second.constData());
        const QString top = lines.at(crashed + 1);
        QVERIFY2(top.contains("corvane_crashhelper!writeNull") && top.contains("[CrashHelper.cpp : "), qPrintable(top));
    }

    void relativeFolderLiesUnderTheProgram()
    {
        BreakpadHandler* handler = BreakpadHandler::instance();
        QCOMPARE(handler->listDumps(), QStringList());
        QVERIFY(!handler->hasDumps());

        const QString name = QStringLiteral("crashdumps-test-%1").arg(QCoreApplication::applicationPid());
        handler->setDumpPath(name + "/../" + name);
        const QString expected = QCoreApplication::applicationDirPath() + '/' + name;
        QCOMPARE(handler->dumpPath(), expected);
        QVERIFY(QDir(expected).exists());

        QFile dump(expected + "/a.dmp");
        QVERIFY(dump.open(QIODevice::WriteOnly));
        dump.close();
        QFile other(expected + "/notes.txt");
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QCOMPARE(handler->listDumps(), QStringList{"a.dmp"});
        handler->removeDumps();
        QVERIFY(!handler->hasDumps());
        QVERIFY(QFile::exists(expected + "/notes.txt"));
        QDir(expected).removeRecursively();
    }

    void uploadAddressKeepsTheLastValidOne()
    {
        BreakpadHandler* handler = BreakpadHandler::instance();
        handler->setUploadUrl(QUrl("https://127.0.0.1:9/crash"));
        handler->setUploadUrl(QUrl());
        QCOMPARE(handler->uploadUrl(), QString("https://127.0.0.1:9/crash"));
        handler->setUploadUrl(QUrl("http://[::1", QUrl::StrictMode));
        QCOMPARE(handler->uploadUrl(), QString("https://127.0.0.1:9/crash"));
    }
};

QTEST_MAIN(TestCrashDumps)
#include "tst_crashdumps.moc"
