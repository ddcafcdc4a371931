#include "MinidumpReader.h"
#include "platform/crash/BreakpadHandler.h"
#include "platform/crash/MinidumpFormat.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

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
        QTest::newRow("null write") << "null-write" << SIGSEGV << true;
        QTest::newRow("abort") << "abort" << SIGABRT << false;
        QTest::newRow("division by zero") << "divide" << SIGFPE << true;
        QTest::newRow("raised SIGBUS") << "sigbus" << SIGBUS << false;
        QTest::newRow("raised SIGILL") << "sigill" << SIGILL << false;
        QTest::newRow("two threads at once") << "two-threads" << SIGSEGV << true;
    }
    void crashLeavesOneDump()
    {
        QFETCH(QString, how);
        QFETCH(int, signal);
        QFETCH(bool, fromHardware);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        // The sanitizers take the fault signals themselves and end the helper their own way.
        QSKIP("crash handling is not checked in sanitizer builds");
#endif
        QTemporaryDir dir;
        const QString folder = dir.filePath("local/crashs");

        QProcess helper;
        helper.start(QStringLiteral(CORVANE_CRASH_HELPER), {folder, how});
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
                                 Minidump::ModuleListStream}));
        QCOMPARE(dump.platformId, Minidump::kPlatformLinux);
        QCOMPARE(dump.signal, quint32(signal));
        QCOMPARE(dump.threadIds, QList<quint32>{dump.exceptionThread});
        if (fromHardware)
            QVERIFY(qint32(dump.signalCode) > 0);
        if (signal == SIGSEGV)
            QCOMPARE(dump.exceptionAddress, quint64(0));
#if defined(__x86_64__)
        QCOMPARE(dump.architecture, Minidump::kArchAmd64);
        QVERIFY(dump.instructionPointer != 0);
        QVERIFY(dump.stackSize > 0);
        QVERIFY(dump.stackStart <= dump.stackPointer && dump.stackPointer < dump.stackStart + dump.stackSize);
#endif
        const QString helperPath = QFileInfo(QStringLiteral(CORVANE_CRASH_HELPER)).canonicalFilePath();
        QVERIFY2(dump.modules.contains(helperPath), qPrintable(dump.modules.join('\n')));
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
