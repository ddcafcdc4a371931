#include "LocalHttpServer.h"
#include "TestWait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The program left alone with its window open: once started it keeps no timer armed and none of its threads
// wakes, whatever device it shows (no polling of the network state, of devices without traffic, of files; no
// deadline of a finished wait left behind; no picture cache expiring). Read from outside, as the kernel sees the
// running program: what each thread is blocked in (/proc/<pid>/task/<tid>/syscall) and how often it has been
// woken (its context switches).
class TestIdleWindow : public QObject
{
    Q_OBJECT

private:
    struct ThreadState
    {
        qint64 tid = 0;
        QString name;
        QString syscall;        // the raw line: number and arguments, "running", or empty when unreadable
        bool waitsForever = false;
        quint64 switches = 0;   // voluntary and involuntary context switches so far
    };

    static QByteArray readProc(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Whether a thread blocked in this system call sleeps until something arrives, with no deadline. A deadline
    // over an hour away counts as none: it wakes nothing that a rate per second could show.
    static bool sleepsWithoutDeadline(const QByteArray& line, const QString& name)
    {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() < 6)
            return false; // running, or not in a system call
        bool ok = false;
        const long number = fields.at(0).toLong(&ok);
        if (!ok)
            return false;
        const auto arg = [&fields](int i) { return fields.value(i + 1).toULongLong(nullptr, 16); };
        constexpr qint64 kHourMs = 3600 * 1000;
        switch (number) {
        case 0:   // read
        case 45:  // recvfrom
        case 47:  // recvmsg
            return true;
        case 7: { // poll: the timeout in milliseconds, -1 for none
            const qint32 timeout = qint32(quint32(arg(2)));
            return timeout < 0 || timeout >= kHourMs;
        }
        case 232: // epoll_wait
        case 281: { // epoll_pwait
            const qint32 timeout = qint32(quint32(arg(3)));
            return timeout < 0 || timeout >= kHourMs;
        }
        case 270: // pselect6
        case 271: // ppoll: a timespec pointer, null for none
            return arg(number == 271 ? 2 : 4) == 0;
        case 202: { // futex: a wait with a null timeout pointer waits for ever
            if (arg(3) == 0)
                return true;
            // A thread of Qt's pool waits once for its expiry and then ends: a one-time wake-up, not a timer.
            return name == QLatin1String("Thread (pooled)");
        }
        default:
            return false;
        }
    }

    static QList<ThreadState> threadsOf(qint64 pid)
    {
        QList<ThreadState> threads;
        const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
        for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            ThreadState state;
            state.tid = tid.toLongLong();
            const QString dir = tasks + QLatin1Char('/') + tid;
            state.name = QString::fromUtf8(readProc(dir + QStringLiteral("/comm"))).trimmed();
            const QByteArray syscall = readProc(dir + QStringLiteral("/syscall"));
            state.syscall = QString::fromLatin1(syscall).trimmed();
            state.waitsForever = sleepsWithoutDeadline(syscall, state.name);
            for (const QByteArray& line : readProc(dir + QStringLiteral("/status")).split('\n')) {
                if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                    state.switches += line.mid(line.indexOf(':') + 1).trimmed().toULongLong();
            }
            threads.append(state);
        }
        return threads;
    }

    // The threads that would still wake on their own, as "name: system call" lines (empty when none).
    static QStringList wakingThreads(qint64 pid)
    {
        QStringList waking;
        for (const ThreadState& thread : threadsOf(pid)) {
            if (!thread.waitsForever)
                waking << thread.name + QStringLiteral(": ") + thread.syscall;
        }
        return waking;
    }

    // Context switches of the threads other than the pool's, by thread id.
    static QMap<qint64, quint64> switchesOf(qint64 pid)
    {
        QMap<qint64, quint64> switches;
        for (const ThreadState& thread : threadsOf(pid)) {
            if (thread.name != QLatin1String("Thread (pooled)"))
                switches.insert(thread.tid, thread.switches);
        }
        return switches;
    }

private slots:
    void staysAsleep_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("keyboard") << QStringLiteral("ZEPHRA");
        QTest::newRow("RGB keyboard") << QStringLiteral("QUENBYRGB");
        QTest::newRow("wired mouse") << QStringLiteral("ULVERD");
        QTest::newRow("wireless mouse through its receiver") << QStringLiteral("YARRIN_WIRELESS");
        QTest::newRow("wireless mouse with a battery") << QStringLiteral("JARROW_NORDIC_WIRELESS");
        QTest::newRow("no device") << QString();
    }

    void staysAsleep()
    {
        QFETCH(QString, device);
        LocalHttpServer server;
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        env.insert("XDG_DATA_HOME", home.filePath(".local/share"));
        env.insert("TMPDIR", home.filePath("tmp"));
        env.remove("QT_BEARER_POLL_TIMEOUT");
        if (device.isEmpty())
            env.remove("CORVANE_SIMULATE");
        else
            env.insert("CORVANE_SIMULATE", device);
        QVERIFY(QDir().mkpath(home.filePath("tmp")));
        QVERIFY(QDir().mkpath(home.filePath(".config/Corvane")));
        QFile settings(home.filePath(".config/Corvane/AppConfig.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        // The online check and the web API stay on this machine; the update check is answered at once.
        settings.write("[General]\ncheckHost=localhost\napiBase=" + server.baseUrl().toUtf8() + "\n");
        settings.close();

        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(CORVANE_PROGRAM), QStringList());
        QVERIFY(program.waitForStarted());
        const qint64 pid = program.processId();
        const auto end = qScopeGuard([&program] {
            program.terminate();
            if (!program.waitForFinished(TestWait::kBoundMs)) {
                program.kill();
                program.waitForFinished();
            }
        });
        // Started once the tray was set up after the window (without a desktop it says there is no notification
        // area).
        QByteArray output;
        WAIT_VERIFY2((output += program.readAll()).contains("no notification area"), output.right(2000).constData());

        // Start-up work ends (the device read, the tips fade); then every thread sleeps until something arrives,
        // with no deadline ahead, and none of them is woken over a second. (Under load a quiet
        // second can only come later, never fail falsely.)
        const auto stillAwake = [pid]() -> QStringList {
            QStringList awake = wakingThreads(pid);
            if (!awake.isEmpty())
                return awake;
            const QMap<qint64, quint64> before = switchesOf(pid);
            QTest::qWait(1000);
            const QMap<qint64, quint64> after = switchesOf(pid);
            for (auto it = before.cbegin(); it != before.cend(); ++it) {
                if (after.contains(it.key()) && after.value(it.key()) != it.value())
                    awake << QStringLiteral("thread %1 woke %2 times").arg(it.key()).arg(after.value(it.key()) - it.value());
            }
            return awake + wakingThreads(pid);
        };
        // (Each look takes a second: the bound is counted in real time.)
        QElapsedTimer waited;
        waited.start();
        QStringList awake;
        while (!(awake = stillAwake()).isEmpty() && waited.elapsed() < TestWait::kBoundMs)
            QTest::qWait(100);
        QVERIFY2(awake.isEmpty(), qPrintable(awake.join(QLatin1String("\n"))));
        QCOMPARE(program.state(), QProcess::Running);
    }
};

QTEST_MAIN(TestIdleWindow)
#include "tst_idlewindow.moc"
