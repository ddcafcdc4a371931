#include "app/CommandLine.h"
#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/LogHandler.h"
#include "app/SceneGraphBackend.h"
#include "platform/instance/SingleInstance.h"
#include "platform/crash/BreakpadHandler.h"
#include "LogCapture.h"
#include "LocalHttpServer.h"
#include "TestWait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <QtTest>

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <limits>

// The program's start: its switches, the log file by the hour, the automatic scale, and one running copy.
class TestStartup : public QObject
{
    Q_OBJECT

private:
    static QStringList readLines(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    static QDateTime at(const QString& text)
    {
        return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    }

    // The environment of a program started by a test: its own home, settings and temporary folder (the
    // single-instance lock lies there, so copies run by other checkouts never answer), no simulated device.
    // The settings keep the online check and the web API on this machine.
    static QProcessEnvironment programEnvironment(const QTemporaryDir& home, const QByteArray& settingsLines)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        env.insert("XDG_DATA_HOME", home.filePath(".local/share"));
        env.insert("TMPDIR", home.filePath("tmp"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_QUICK_BACKEND", "software");
        env.remove("CORVANE_SIMULATE");
        QDir().mkpath(home.filePath("tmp"));
        QDir().mkpath(home.filePath(".config/Corvane"));
        QFile settings(home.filePath(".config/Corvane/AppConfig.ini"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write("[General]\ncheckHost=localhost\n" + settingsLines);
        return env;
    }

    static void endProgram(QProcess& program)
    {
        program.terminate();
        if (!program.waitForFinished(TestWait::kBoundMs)) {
            program.kill();
            program.waitForFinished();
        }
    }

private slots:
    void cleanup()
    {
        LogFile::setClock({});
        LogFile::setFolders(QString(), QString());
    }

    void switches_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("log");
        QTest::addColumn<bool>("hasScale");
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("ignored");

        const QString program = QStringLiteral("/opt/Corvane/Corvane");
        QTest::newRow("none") << QStringList{program} << false << false << 1.0f << 0;
        QTest::newRow("log") << QStringList{program, "-log"} << true << false << 1.0f << 0;
        QTest::newRow("log after scale") << QStringList{program, "-scale1.5", "-log"} << true << true << 1.5f << 0;
        QTest::newRow("log in capitals") << QStringList{program, "-LOG"} << false << false << 1.0f << 0;
        QTest::newRow("log with a slash") << QStringList{program, "/log"} << false << false << 1.0f << 0;
        QTest::newRow("scale") << QStringList{program, "-scale1.5"} << false << true << 1.5f << 0;
        QTest::newRow("later scale wins") << QStringList{program, "-scale2", "-scale0.5"} << false << true << 0.5f << 0;
        QTest::newRow("bad scale keeps the good one")
            << QStringList{program, "-scale2", "-scalex"} << false << true << 2.0f << 1;
        QTest::newRow("scale alone") << QStringList{program, "-scale"} << false << false << 1.0f << 1;
        QTest::newRow("scale and blank") << QStringList{program, "-scale 1.5"} << false << false << 1.0f << 1;
        QTest::newRow("separate factor") << QStringList{program, "-scale", "1.5"} << false << false << 1.0f << 1;
        QTest::newRow("double dash and equals") << QStringList{program, "--scale=1.5"} << false << false << 1.0f << 0;
        QTest::newRow("zero") << QStringList{program, "-scale0"} << false << false << 1.0f << 1;
        QTest::newRow("negative") << QStringList{program, "-scale-1"} << false << false << 1.0f << 1;
        QTest::newRow("too small") << QStringList{program, "-scale0.2"} << false << false << 1.0f << 1;
        QTest::newRow("smallest") << QStringList{program, "-scale0.25"} << false << true << 0.25f << 0;
        QTest::newRow("largest") << QStringList{program, "-scale4"} << false << true << 4.0f << 0;
        QTest::newRow("too large") << QStringList{program, "-scale4.5"} << false << false << 1.0f << 1;
        QTest::newRow("infinite") << QStringList{program, "-scaleinf"} << false << false << 1.0f << 1;
        QTest::newRow("huge") << QStringList{program, "-scale1e39"} << false << false << 1.0f << 1;
        QTest::newRow("not a number") << QStringList{program, "-scalenan"} << false << false << 1.0f << 1;
        // The program's own path is never a switch, whatever it is called.
        QTest::newRow("program named like the switch")
            << QStringList{"/home/me/-scale2/Corvane"} << false << false << 1.0f << 0;
        QTest::newRow("program named -log") << QStringList{"-log"} << false << false << 1.0f << 0;
        QTest::newRow("switch inside another argument")
            << QStringList{program, "/tmp/my-scale2.txt"} << false << false << 1.0f << 0;
    }

    void switches()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = CommandLine::parse(arguments);
        QTEST(line.log, "log");
        QTEST(line.hasScale, "hasScale");
        QTEST(line.scale, "scale");
        QTEST(int(line.ignored.size()), "ignored");
    }

    // OpenGL drawn by the CPU takes the software scene graph; any graphics card's driver keeps OpenGL.
    void softwareRasterizers_data()
    {
        QTest::addColumn<QString>("renderer");
        QTest::addColumn<bool>("software");

        QTest::newRow("llvmpipe") << "llvmpipe (LLVM 15.0.6, 256 bits)" << true;
        QTest::newRow("softpipe") << "softpipe" << true;
        QTest::newRow("classic swrast") << "Mesa DRI Intel(R) swrast" << true;
        QTest::newRow("windowing system's rasteriser") << "Software Rasterizer" << true;
        QTest::newRow("capitals") << "LLVMPIPE" << true;
        QTest::newRow("integrated card") << "Mesa Intel(R) UHD Graphics 620 (KBL GT2)" << false;
        QTest::newRow("discrete card") << "NVIDIA GeForce RTX 3060/PCIe/SSE2" << false;
        QTest::newRow("virtual machine's card") << "SVGA3D; build: RELEASE; LLVM;" << false;
    }

    void softwareRasterizers()
    {
        QFETCH(QString, renderer);
        QTEST(SceneGraphBackend::isSoftwareRasterizer(renderer), "software");
    }

    // Without a render node or the proprietary driver's device there is no OpenGL but the CPU's.
    void graphicsDevice_data()
    {
        QTest::addColumn<QStringList>("driFiles");
        QTest::addColumn<QStringList>("devFiles");
        QTest::addColumn<bool>("device");

        QTest::newRow("nothing") << QStringList{} << QStringList{} << false;
        QTest::newRow("render node") << QStringList{"card0", "renderD128"} << QStringList{} << true;
        QTest::newRow("display card without render node") << QStringList{"card0"} << QStringList{} << false;
        QTest::newRow("proprietary driver") << QStringList{} << QStringList{"nvidia0", "nvidiactl"} << true;
        QTest::newRow("proprietary control alone") << QStringList{} << QStringList{"nvidiactl"} << false;
    }

    void graphicsDevice()
    {
        QFETCH(QStringList, driFiles);
        QFETCH(QStringList, devFiles);
        QTemporaryDir dri;
        QTemporaryDir dev;
        for (const QString& name : driFiles)
            QVERIFY(QFile(dri.filePath(name)).open(QIODevice::WriteOnly));
        for (const QString& name : devFiles)
            QVERIFY(QFile(dev.filePath(name)).open(QIODevice::WriteOnly));
        QTEST(SceneGraphBackend::hasGraphicsDevice(dri.path(), dev.path()), "device");
        QVERIFY(!SceneGraphBackend::hasGraphicsDevice(dri.filePath("missing"), dev.filePath("missing")));
    }

    // The user's QT_QUICK_BACKEND is never overridden.
    void sceneGraphChoiceKeepsTheUsersBackend()
    {
        const QByteArray before = qgetenv("QT_QUICK_BACKEND");
        qputenv("QT_QUICK_BACKEND", "software");
        const QString line = SceneGraphBackend::choose();
        if (before.isNull())
            qunsetenv("QT_QUICK_BACKEND");
        else
            qputenv("QT_QUICK_BACKEND", before);
        QCOMPARE(line, QStringLiteral("scene graph: software, as QT_QUICK_BACKEND asks"));
    }

    void autoScale_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<float>("factor");

        QTest::newRow("full HD at 96") << 1920 << 1080 << 96 << 0.75f;
        QTest::newRow("full HD at 120") << 1920 << 1080 << 120 << 0.88f;
        QTest::newRow("full HD at 168") << 1920 << 1080 << 168 << 0.48f;
        QTest::newRow("4K at 96 keeps") << 3840 << 2160 << 96 << 1.0f;
        QTest::newRow("4K at 144") << 3840 << 2160 << 144 << 0.85f;
        QTest::newRow("4K at 216") << 3840 << 2160 << 216 << 0.7f;
        QTest::newRow("large without class at 144") << 2560 << 1440 << 144 << 0.5f;
        QTest::newRow("large without class at 96 keeps") << 2560 << 1440 << 96 << 1.0f;
        QTest::newRow("DPI between the steps keeps") << 1920 << 1080 << 100 << 1.0f;
        QTest::newRow("DPI far above") << 1920 << 1080 << 240 << 1.0f;
        QTest::newRow("DPI below 96") << 1920 << 1080 << 72 << 1.0f;
        QTest::newRow("SXGA") << 1280 << 1024 << 120 << 0.6f;
        QTest::newRow("XGA") << 1024 << 768 << 96 << 0.65f;
        QTest::newRow("small keeps") << 800 << 600 << 96 << 1.0f;
    }

    void autoScale()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, dpi);
        QTEST(KAppCommon::autoScaleFactor(width, height, dpi, 1.0f), "factor");
    }

    // The scale asked for is lowered to the largest at which the 1200 x 760 window fits the available area.
    void fittingScale_data()
    {
        QTest::addColumn<float>("asked");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<float>("used");
        QTest::newRow("fits") << 1.0f << 1600 << 1000 << 1.0f;
        QTest::newRow("too tall") << 1.5f << 1600 << 1000 << 1.31f;
        QTest::newRow("too wide") << 2.0f << 1800 << 2000 << 1.5f;
        QTest::newRow("exactly") << 2.0f << 2400 << 1520 << 2.0f;
        QTest::newRow("small screen lowers 1") << 1.0f << 1024 << 700 << 0.85f;
        QTest::newRow("no screen keeps") << 3.0f << 0 << 0 << 3.0f;
    }

    void fittingScale()
    {
        QFETCH(float, asked);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(float, used);
        const float factor = KAppCommon::fittingScale(asked, width, height);
        QVERIFY2(qAbs(factor - used) < 0.001f, qPrintable(QString::number(double(factor))));
        if (width > 0) {
            QVERIFY(int(1200 * factor) <= width);
            QVERIFY(int(760 * factor) <= height);
        }
    }

    void startNeedsInit()
    {
        QVERIFY(!KAppManager::instance()->start());
        QVERIFY(!KAppManager::instance()->getUIManager());
    }

    void autoScaleOffKeepsTheFactor()
    {
        KAppCommon::instance()->setScale(1.5f);
        KAppCommon::instance()->autoScale(false);
        QCOMPARE(KAppCommon::instance()->getScale(), 1.5f);
        KAppCommon::instance()->setScale(1.0f);
    }

    void logLines_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("line");
        QTest::newRow("debug") << int(QtDebugMsg) << "2024-03-02 09:05:07: x";
        QTest::newRow("info keeps its text") << int(QtInfoMsg) << "2024-03-02 09:05:07: Info: x";
        QTest::newRow("warning") << int(QtWarningMsg) << "2024-03-02 09:05:07: Warning: x";
        QTest::newRow("critical") << int(QtCriticalMsg) << "2024-03-02 09:05:07: Critical: x";
    }

    void logLines()
    {
        QFETCH(int, type);
        QTemporaryDir dir;
        LogFile::setFolders(dir.filePath("Log"), QString());
        LogFile::setClock([] { return at("2024-03-02 09:05:07.500"); });
        logMessageHandler(QtMsgType(type), QMessageLogContext(), QStringLiteral("x"));
        QFile file(dir.filePath("Log/2024_03_02_09.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QFETCH(QString, line);
        QCOMPARE(bytes, (line + QLatin1Char('\n')).toUtf8());
    }

    void logRollsOverWithTheHour()
    {
        QTemporaryDir dir;
        LogFile::setFolders(dir.filePath("Log"), QString());
        QDateTime now = at("2024-03-02 13:59:59.999");
        LogFile::setClock([&now] { return now; });
        logMessageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("before"));
        now = at("2024-03-02 14:00:00.000");
        logMessageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("after"));
        QCOMPARE(readLines(dir.filePath("Log/2024_03_02_13.txt")), QStringList{"2024-03-02 13:59:59: before"});
        QCOMPARE(readLines(dir.filePath("Log/2024_03_02_14.txt")), QStringList{"2024-03-02 14:00:00: after"});

        // The folder removed while the program runs comes back with the next line; Chinese text stays as is.
        QVERIFY(QDir(dir.filePath("Log")).removeRecursively());
        logMessageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("鼠标已休眠"));
        QCOMPARE(readLines(dir.filePath("Log/2024_03_02_14.txt")), QStringList{"2024-03-02 14:00:00: 鼠标已休眠"});
    }

    void logFallsBackWhenTheProgramFolderIsReadOnly()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("program"));
        QVERIFY(QFile::setPermissions(dir.filePath("program"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        LogFile::setFolders(dir.filePath("program/Log"), dir.filePath("data/Log"));
        LogFile::setClock([] { return at("2024-03-02 09:05:07.000"); });
        logMessageHandler(QtWarningMsg, QMessageLogContext(), QStringLiteral("x"));
        QCOMPARE(readLines(dir.filePath("data/Log/2024_03_02_09.txt")), QStringList{"2024-03-02 09:05:07: Warning: x"});
        QFile::setPermissions(dir.filePath("program"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                           | QFileDevice::ExeOwner);
    }

    void logFallsBackWhenTheProgramFolderIsAFile()
    {
        // Also as root: a "Log" that is a file cannot take the log.
        QTemporaryDir dir;
        QFile blocker(dir.filePath("Log"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        LogFile::setFolders(dir.filePath("Log"), dir.filePath("data/Log"));
        LogFile::setClock([] { return at("2024-03-02 09:05:07.000"); });
        logMessageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("x"));
        QCOMPARE(readLines(dir.filePath("data/Log/2024_03_02_09.txt")), QStringList{"2024-03-02 09:05:07: x"});
    }

    // Lines of several threads at once arrive whole, none lost.
    void logLinesOfManyThreadsStayWhole()
    {
        QTemporaryDir dir;
        LogFile::setFolders(dir.filePath("Log"), QString());
        LogFile::setClock([] { return at("2024-03-02 09:05:07.000"); });
        constexpr int kThreads = 4;
        constexpr int kLines = 200;
        const QString payload(300, QLatin1Char('y'));
        QList<QThread*> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.append(QThread::create([t, &payload] {
                for (int i = 0; i < kLines; ++i)
                    logMessageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("%1 %2 ").arg(t).arg(i) + payload);
            }));
        }
        for (QThread* thread : threads)
            thread->start();
        for (QThread* thread : threads) {
            thread->wait();
            delete thread;
        }
        const QStringList lines = readLines(dir.filePath("Log/2024_03_02_09.txt"));
        QCOMPARE(lines.size(), kThreads * kLines);
        for (const QString& line : lines)
            QVERIFY2(line.endsWith(payload) && line.startsWith("2024-03-02 09:05:07: "), qPrintable(line));
    }

    // The crash folder is made with its parents; one that cannot be made is logged and not taken.
    void crashFolder()
    {
        QTemporaryDir dir;
        BreakpadHandler* handler = BreakpadHandler::instance();
        handler->setDumpPath(dir.filePath("local/Corvane/crashs"));
        QVERIFY(QDir(dir.filePath("local/Corvane/crashs")).exists());
        QCOMPARE(handler->dumpPath(), dir.filePath("local/Corvane/crashs"));

        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        LogCapture log;
        handler->setDumpPath(dir.filePath("file/crashs"));
        QVERIFY(log.contains("Failed to set dump path which not exists: " + dir.filePath("file/crashs")));
        QCOMPARE(handler->dumpPath(), dir.filePath("local/Corvane/crashs"));
    }

    // The first holder of a key is the running copy; a later one hands it a message and it arrives whole.
    void secondInstanceHandsOverItsMessage()
    {
        const QString key = QStringLiteral("CorvaneTest_") + QUuid::createUuid().toString(QUuid::Id128);
        SingleInstance first(key);
        QVERIFY(!first.isRunning());
        SingleInstance second(key);
        QVERIFY(second.isRunning());
        QSignalSpy received(&first, &SingleInstance::messageReceived);
        QVERIFY(second.sendMessage(QStringLiteral("Corvane_1.2.1"), 2000));
        WAIT_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("Corvane_1.2.1"));
    }

    void keyIsFreeAgainAfterTheFirstEnds()
    {
        const QString key = QStringLiteral("CorvaneTest_") + QUuid::createUuid().toString(QUuid::Id128);
        {
            SingleInstance first(key);
            QVERIFY(!first.isRunning());
        }
        SingleInstance next(key);
        QVERIFY(!next.isRunning());
        // Nobody listens for a key that no one holds.
        SingleInstance other(key + QStringLiteral("_other"));
        QVERIFY(!other.sendMessage(QStringLiteral("x"), 200) || !other.isRunning());
    }

    void oversizedMessageIsDropped()
    {
        const QString key = QStringLiteral("CorvaneTest_") + QUuid::createUuid().toString(QUuid::Id128);
        SingleInstance first(key);
        SingleInstance second(key);
        QSignalSpy received(&first, &SingleInstance::messageReceived);
        // The sender cuts what it sends to the limit; what arrives is never longer.
        QVERIFY(second.sendMessage(QString(SingleInstance::kMaxMessageBytes + 100, QLatin1Char('a')), 2000));
        WAIT_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString().size(), SingleInstance::kMaxMessageBytes);
    }

    // The program itself: a second start while the first runs ends at once with 0 and leaves the first running.
    void secondProgramStartEndsWithZero()
    {
        QTemporaryDir home;
        const QProcessEnvironment env = programEnvironment(home, "apiBase=http://127.0.0.1:9\n");

        // The key is per user and machine: a copy of the program running already (a developer's) answers too.
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(CORVANE_PROGRAM), QStringList());
        QVERIFY(first.waitForStarted());
        // Ready when it listens: the lock file of the key and the socket beside it exist.
        const QString socket = QDir(home.filePath("tmp")).filePath(QStringLiteral("Corvane_1.2.1-%1").arg(::getuid()));
        WAIT_VERIFY(QFile::exists(socket + ".lock") && QFileInfo(socket).exists());

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(CORVANE_PROGRAM), QStringList{QStringLiteral("-scale2"), QStringLiteral("other")});
        QVERIFY(second.waitForFinished(TestWait::kBoundMs));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        endProgram(first);
    }

    // The window asks the web API for the newest program version once at start, unless the user switched
    // updates off; the answer alone decides whether an update is offered.
    void startUpVersionCheck_data()
    {
        QTest::addColumn<QByteArray>("disableUpdate");
        QTest::addColumn<int>("versionQueries");
        QTest::newRow("updates on") << QByteArray("false") << 1;
        QTest::newRow("updates off") << QByteArray("true") << 0;
    }

    void startUpVersionCheck()
    {
        QFETCH(QByteArray, disableUpdate);
        QFETCH(int, versionQueries);
        LocalHttpServer server;
        QTemporaryDir home;
        const QProcessEnvironment env = programEnvironment(
            home, "apiBase=" + server.baseUrl().toUtf8() + "\ndisableUpdate=" + disableUpdate + "\n");

        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(CORVANE_PROGRAM), QStringList());
        QVERIFY(program.waitForStarted());
        // The window asks as it is loaded. Loaded once the program set up its tray after it (without a
        // desktop, as here, it says there is no notification area).
        QByteArray errors;
        WAIT_VERIFY((errors += program.readAllStandardError()).contains("no notification area"));
        const auto queries = [&server] {
            int count = 0;
            for (const LocalHttpServer::Request& request : server.requests()) {
                if (request.body.contains("ZephraLUMEN-Start-software"))
                    ++count;
            }
            return count;
        };
        if (versionQueries > 0)
            WAIT_COMPARE(queries(), versionQueries);
        QTest::qWait(300); // and no other
        QCOMPARE(queries(), versionQueries);
        QCOMPARE(program.state(), QProcess::Running);
        endProgram(program);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
