// What every mouse shares about threads: one operation at a time per mouse (the GUI thread never waits for
// it), operations that read the user interface from a copy the GUI thread keeps, and model changes that reach
// the GUI thread only after the write they report succeeded.

#include "RecordingServices.h"

#include "devices/mouse/MouseSession.h"
#include "models/device/KDpiModel.h"
#include "TestWait.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

class TestMouseSession : public QObject
{
    Q_OBJECT

private slots:
    void operationsNeverInterleave();
    void guiThreadNeverWaits();
    void nestedOperationOnOneThread();
    void changesAfterSuccessOnGuiThread_data();
    void changesAfterSuccessOnGuiThread();
    void changesDroppedWithTheOwner();
    void uiStateFollowsTheModels();
};

void TestMouseSession::operationsNeverInterleave()
{
    QObject owner;
    MouseSession session(&owner);
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    auto worker = [&] {
        for (int i = 0; i < 300; ++i) {
            MouseOperation op(session);
            QVERIFY(op.isHeld());
            if (inside.fetch_add(1) != 0)
                ++overlaps;
            std::this_thread::yield();
            inside.fetch_sub(1);
        }
    };
    std::thread a(worker);
    std::thread b(worker);
    a.join();
    b.join();
    QCOMPARE(overlaps.load(), 0);
}

void TestMouseSession::guiThreadNeverWaits()
{
    QObject owner;
    MouseSession session(&owner);
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::thread pool([&] {
        MouseOperation op(session);
        holding = true;
        while (!release)
            std::this_thread::yield();
    });
    while (!holding)
        std::this_thread::yield();
    {
        MouseOperation gui(session);
        QVERIFY(!gui.isHeld());  // refused at once, not waited for
    }
    release = true;
    pool.join();
    MouseOperation gui(session);
    QVERIFY(gui.isHeld());
}

void TestMouseSession::nestedOperationOnOneThread()
{
    // A whole-profile apply holds the mouse and calls the mouse's own setters.
    QObject owner;
    MouseSession session(&owner);
    bool inner = false;
    std::thread pool([&] {
        MouseOperation apply(session);
        MouseOperation setter(session);
        inner = setter.isHeld();
    });
    pool.join();
    QVERIFY(inner);
}

void TestMouseSession::changesAfterSuccessOnGuiThread_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("write succeeded") << true;
    QTest::newRow("write failed") << false;
}

void TestMouseSession::changesAfterSuccessOnGuiThread()
{
    QFETCH(bool, ok);
    QObject owner;
    MouseSession session(&owner);
    QList<int> applied;
    QThread* appliedOn = nullptr;
    std::thread pool([&] {
        MouseOperation op(session);
        op.onSuccess([&] { applied << 1; appliedOn = QThread::currentThread(); });
        op.onSuccess([&] { applied << 2; });
        op.finish(ok);
    });
    pool.join();
    QVERIFY(applied.isEmpty());  // nothing ran on the pool thread
    QCoreApplication::processEvents();
    if (ok) {
        QCOMPARE(applied, (QList<int>{1, 2}));
        QCOMPARE(appliedOn, QThread::currentThread());
    } else {
        QVERIFY(applied.isEmpty());
    }
}

void TestMouseSession::changesDroppedWithTheOwner()
{
    auto owner = std::make_unique<QObject>();
    auto session = std::make_unique<MouseSession>(owner.get());
    bool applied = false;
    std::thread pool([&] {
        MouseOperation op(*session);
        op.onSuccess([&] { applied = true; });
        op.finish(true);
    });
    pool.join();
    session.reset();
    owner.reset();
    QCoreApplication::processEvents();
    QVERIFY(!applied);
}

void TestMouseSession::uiStateFollowsTheModels()
{
    RecordingServices services;
    KDpiModel dpi;
    services.setDpiModel(&dpi);
    AppServices::install(&services);

    QObject owner;
    MouseSession session(&owner);
    session.setDeviceName(QStringLiteral("JARROW"));
    dpi.setEnable({true, false, true});
    session.followModels();
    QCOMPARE(session.uiState().dpiEnable, (QVector<bool>{true, false, true}));

    // A change of the model reaches the copy through the GUI thread's event loop; an operation started
    // before keeps the copy it started with.
    std::unique_ptr<MouseOperation> early;
    std::thread([&] { early = std::make_unique<MouseOperation>(session); }).join();
    dpi.setEnable({false, true});
    WAIT_COMPARE(session.uiState().dpiEnable, (QVector<bool>{false, true}));
    QCOMPARE(early->ui().dpiEnable, (QVector<bool>{true, false, true}));
    QCOMPARE(session.uiState().deviceName, QStringLiteral("JARROW"));
    std::thread([&] { early.reset(); }).join();

    AppServices::install(nullptr);
}

QTEST_MAIN(TestMouseSession)
#include "tst_mousesession.moc"
