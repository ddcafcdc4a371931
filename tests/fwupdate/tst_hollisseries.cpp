#include "FHollisSeries.h"
#include "FakeProgram.h"
#include "LauncherDouble.h"
#include "LogCapture.h"
#include "Mirelle.h"

#include "common/ProgramFolders.h"
#include "platform/pipe/NamedPipeServer.h"
#include "TestWait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct ProgramFolder {
    QTemporaryDir dir;
    ProgramFolder() { ProgramFolders::setProgramFolder(dir.path()); }
    ~ProgramFolder() { ProgramFolders::setProgramFolder(QString()); }
    QString path(const QString& relative) const { return dir.path() + relative; }
};

QList<QPair<int, int>> pairs(const QSignalSpy& spy)
{
    QList<QPair<int, int>> out;
    for (const QList<QVariant>& args : spy)
        out.append({args.at(0).toInt(), args.at(1).toInt()});
    return out;
}

QList<HProcessBar*> windows()
{
    QList<HProcessBar*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* bar = qobject_cast<HProcessBar*>(w))
            out.append(bar);
    }
    return out;
}

using Progress = QList<QPair<int, int>>;

} // namespace

class TestHollisSeries : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pipeMessages_data();
    void pipeMessages();
    void titleWords_data();
    void titleWords();
    void programMissing();
    void declinedElevation();
    void pipeHeldElsewhere();
    void replacedWhileWaiting();

private:
    QTemporaryDir m_runtime;
};

void TestHollisSeries::initTestCase()
{
    // The pipe lives in the runtime folder; the fake program finds it there too.
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
}

void TestHollisSeries::pipeMessages_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<Progress>("progress");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("37, 38, end") << QStringList{"pipe 4 37", "pipe 4 38", "pipe 5 0"}
                                 << Progress{{37, 100}, {38, 100}} << 1 << "updateFinish";
    QTest::newRow("5/1 is no end") << QStringList{"pipe 5 1", "pipe 4 10", "pipe 7 0", "pipe 5 0"}
                                   << Progress{{10, 100}} << 1 << "updateFinish";
    QStringList nine;
    for (int i = 0; i < 9; ++i)
        nine << "pipe-size 5000";
    QTest::newRow("nine failed reads, then the end") << (nine + QStringList{"pipe 5 0"}) << Progress() << 1
                                                     << "updateFinish";
    QTest::newRow("ten failed reads") << (nine + QStringList{"pipe-size 5000", "pipe 5 0"}) << Progress() << 2
                                      << "Read Failed";
    QTest::newRow("program gone without the end") << QStringList{"pipe 4 50", "exit 0"} << Progress{{50, 100}} << 2
                                                  << "Read Failed";
}

void TestHollisSeries::pipeMessages()
{
    QFETCH(QStringList, script);
    QFETCH(Progress, progress);
    QFETCH(int, code);
    QFETCH(QString, message);
    ProgramFolder program;
    QVERIFY(FakeProgram::install(program.path("/Update/Local/QUENBY_8A/KeyboardUpdate.exe"), script));

    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QSignalSpy steps(&mirelle, &Mirelle::qt_updateProgress);
    QVERIFY(mirelle.initFwDevice("QUENBY_8A", "KeyboardUpdate.exe", "en", QString()));
    QVERIFY(results.wait(TestWait::kBoundMs));
    QTest::qWait(20);
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.first().at(0).toInt(), code);
    QCOMPARE(results.first().at(1).toString(), message);
    QCOMPARE(pairs(steps), progress);
    QCOMPARE(windows().size(), 1);
    QCOMPARE(windows().first()->windowTitle(), QStringLiteral("QUENBY-8A series flash firmware"));
}

void TestHollisSeries::titleWords_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("title");
    QTest::newRow("keyboard") << "QUENBY_8A" << "QUENBY-8A series flash firmware";
    QTest::newRow("rgb keyboard") << "QUENBYRGB" << "QUENBYRGB series flash firmware";
    QTest::newRow("harlo") << "HARLO_Hollis" << "HARLO series flash firmware";
    QTest::newRow("dunmor: no word") << "DUNMOR_Hollis" << " series flash firmware";
}

void TestHollisSeries::titleWords()
{
    QFETCH(QString, model);
    QFETCH(QString, title);
    ProgramFolder program;
    const QString exe = program.path("/Update/Local/" + model + "/Update.exe");
    QVERIFY(FakeProgram::install(exe, {"pipe 5 0"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice(model, "Update.exe", "en", QString()));
    QVERIFY(results.wait(TestWait::kBoundMs));
    QVERIFY(FakeProgram::hasRun(exe));
    QCOMPARE(windows().first()->windowTitle(), title);
}

void TestHollisSeries::programMissing()
{
    ProgramFolder program;
    QDir().mkpath(program.path("/Update/Local/QUENBY_8A"));
    QTemporaryDir strayFolder;
    QFile::copy("/bin/sleep", strayFolder.filePath("ParrowDown.exe"));
    QProcess stray;
    stray.start(strayFolder.filePath("ParrowDown.exe"), {"30"});
    QVERIFY(stray.waitForStarted());

    QElapsedTimer timer;
    timer.start();
    {
        Mirelle mirelle;
        QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
        QVERIFY(!mirelle.initFwDevice("QUENBY_8A", "missing.exe", "en", QString()));
        QTest::qWait(50);
        QCOMPARE(results.count(), 1);
        QCOMPARE(results.first().at(0).toInt(), 2);
        QCOMPARE(results.first().at(1).toString(), QStringLiteral("exe not found"));
    }
    // The reader was not left waiting for a program that never came, and every result ends ParrowDown.exe.
    QVERIFY(timer.elapsed() < 5000);
    WAIT_COMPARE(stray.state(), QProcess::NotRunning);
}

void TestHollisSeries::declinedElevation()
{
    ProgramFolder program;
    QVERIFY(FakeProgram::install(program.path("/Update/Local/QUENBY_8A/Update.exe"), {"pipe 5 0"}));
    LauncherDouble launcher;
    launcher.setDecline(true);
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(!mirelle.initFwDevice("QUENBY_8A", "Update.exe", "en", QString()));
    QTest::qWait(50);
    QCOMPARE(results.count(), 0);
    QCOMPARE(launcher.programs().size(), 1);
}

void TestHollisSeries::pipeHeldElsewhere()
{
    ProgramFolder program;
    const QString exe = program.path("/Update/Local/QUENBY_8A/Update.exe");
    QVERIFY(FakeProgram::install(exe, {"pipe 5 0"}));
    NamedPipeServer other(QStringLiteral("Quor_Named_Pipe"));
    QVERIFY(other.create());
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(!mirelle.initFwDevice("QUENBY_8A", "Update.exe", "en", QString()));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.first().at(0).toInt(), 2);
    QCOMPARE(results.first().at(1).toString(), QStringLiteral("Create Named_Pipe Failed"));
    QVERIFY(!FakeProgram::hasRun(exe));
}

void TestHollisSeries::replacedWhileWaiting()
{
    ProgramFolder program;
    // The first program never reports; the second update takes the pipe over.
    QVERIFY(FakeProgram::install(program.path("/Update/Local/QUENBY_8A/Silent.exe"), {"sleep 300"}));
    QVERIFY(FakeProgram::install(program.path("/Update/Local/QUENBY_8A/Update.exe"), {"pipe 4 20", "pipe 5 0"}));
    Mirelle mirelle;
    QSignalSpy results(&mirelle, &Mirelle::qt_updateFinished);
    QVERIFY(mirelle.initFwDevice("QUENBY_8A", "Silent.exe", "en", QString()));
    QVERIFY(mirelle.initFwDevice("QUENBY_8A", "Update.exe", "en", QString()));
    QVERIFY(results.wait(TestWait::kBoundMs));
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.first().at(0).toInt(), 1);
}

QTEST_MAIN(TestHollisSeries)
#include "tst_hollisseries.moc"
