// The keyboard driver while its work runs on pool threads: opening again never pulls the channel away from
// an operation in flight. The simulated keyboard holds one operation inside its transaction until the test
// lets it go.

#include "QuenbyKeyboardFixture.h"

#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "hid/HWork.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QSemaphore>
#include <QTimer>
#include <QtTest>

#include <atomic>

using namespace Quenby8a;

namespace {

// Holds the first command written after arm() until release(), as a slow keyboard would.
class GatedKeyboard : public SimQuenbyKeyboard
{
public:
    ~GatedKeyboard() override { release(); }

    void arm() { m_armed.store(true); }
    bool waitHeld(int ms) { return m_held.tryAcquire(1, ms); }
    void release()
    {
        if (!m_released.exchange(true))
            m_gate.release();
    }

    bool onOutput(const QByteArray& report) override
    {
        if (m_armed.exchange(false)) {
            m_held.release();
            m_gate.acquire();
        }
        return SimQuenbyKeyboard::onOutput(report);
    }

private:
    std::atomic<bool> m_armed{false};
    std::atomic<bool> m_released{false};
    QSemaphore m_held;
    QSemaphore m_gate;
};

} // namespace

class TestQuenbyConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void reopenLeavesWorkInFlightAlone_data()
    {
        QTest::addColumn<bool>("inFlight");
        QTest::addColumn<int>("closes");
        QTest::newRow("idle: closed and opened again") << false << 2;
        QTest::newRow("work in flight: channel kept") << true << 0;
    }

    void reopenLeavesWorkInFlightAlone()
    {
        QFETCH(bool, inFlight);
        QFETCH(int, closes);
        QuenbyKeyboardFixture fixture;
        fixture.keyboard()->unplug();
        GatedKeyboard keyboard;
        QVERIFY(keyboard.plug(fixture.bus()->bus()));
        FDeviceQuenby_8a* device = fixture.openDevice();
        QVERIFY(device);
        SimBus* bus = fixture.bus()->bus();
        const int command = bus->paths(keyboard.busDeviceId()).indexOf(keyboard.commandPath());
        QVERIFY(command >= 0);

        HWork work;
        bool done = false;
        bool written = false;
        if (inFlight) {
            keyboard.arm();
            QVERIFY(work.run(&KBaseDevice::setLightModel, device, 2, 0, [&](bool ok) {
                written = ok;
                done = true;
            }));
            QVERIFY(keyboard.waitHeld(5000));
        }
        bus->clearTranscript();

        // Counted from the event loop that waits for the start-up read, before the held operation goes on.
        int closesWhileHeld = -1;
        QTimer::singleShot(0, [&] {
            closesWhileHeld = 0;
            for (const SimTransfer& t : bus->transcript()) {
                if (t.op == SimTransfer::Close && t.deviceId == keyboard.busDeviceId() && t.collection == command)
                    ++closesWhileHeld;
            }
            keyboard.release();
        });
        QVERIFY(device->initDevice());
        WAIT_VERIFY(closesWhileHeld >= 0);
        QCOMPARE(closesWhileHeld, closes);

        if (inFlight) {
            WAIT_VERIFY(done);
            QVERIFY(written);
            QCOMPARE(keyboard.registerValue(kRegLightMode), quint8(3));
        }
        QString why;
        QVERIFY2(SimBus::checkNoInterleaving(bus->transcript(), &why), qPrintable(why));
        // The channel still works for the next operation.
        QCOMPARE(device->getLightBrightness(0), int(keyboard.registerValue(kRegBrightness)));
        WAIT_COMPARE(HWork::pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestQuenbyConcurrency)
#include "tst_quenbyconcurrency.moc"
