#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "hid/FPairing.h"
#include "hid/FPairingFarrant.h"
#include "hid/KDeviceController.h"
#include "hid/KDeviceWatcher.h"
#include "platform/sys/PlatformTime.h"
#include "sim/receiver/SimReceiver.h"
#include "TestWait.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

int countOf(const QStringList& list, const QString& prefix)
{
    int count = 0;
    for (const QString& entry : list)
        count += entry.startsWith(prefix) ? 1 : 0;
    return count;
}

// Waits for the pairing's one outcome and for its thread to end.
bool finished(FPairing& pairing, QSignalSpy& outcome)
{
    if (!outcome.wait(TestWait::kBoundMs) && outcome.isEmpty())
        return false;
    FPairingFarrant* thread = pairing.thread();
    return !thread || thread->wait(TestWait::kBoundMs);
}

} // namespace

// Receiver pairing against the simulated receiver: the commands it gets, the outcome, stopping and restarting.
class TestPairing : public QObject
{
    Q_OBJECT

private:
    // Starts a pairing with real (scaled) pauses against a receiver that never pairs, and waits until it
    // has polled polls times: it is then still running when the test steps in.
    bool startPolling(FPairing& pairing, int polls)
    {
        Platform::setSleepScale(0.01);
        m_receiver->setPollsBeforePaired(SimReceiver::kNeverPaired);
        pairing.pairingStart();
        return QTest::qWaitFor([&] { return countOf(m_receiver->commands(), "status") >= polls; }, TestWait::kBoundMs)
               && pairing.thread() != nullptr;
    }

    SimBusFixture* m_bus = nullptr;
    SimReceiver* m_receiver = nullptr;

private slots:
    void init()
    {
        m_bus = new SimBusFixture;
        m_receiver = new SimReceiver(DeviceIds::kReceiver);
        QVERIFY(m_receiver->plug(m_bus->bus()));
        KDeviceController::instance()->deviceWatcher()->setCurrentPid(DeviceIds::kReceiver);
        Platform::setSleepRecording(true);
        Platform::clearRecordedSleeps();
    }

    void cleanup()
    {
        Platform::setSleepScale(0);
        delete m_receiver;
        m_receiver = nullptr;
        delete m_bus;
        m_bus = nullptr;
        KDeviceController::instance()->deviceWatcher()->setCurrentPid(0);
    }

    void pairing_data()
    {
        QTest::addColumn<int>("pollsBeforePaired");
        QTest::addColumn<int>("refusedCommands");
        QTest::addColumn<bool>("paired");
        QTest::addColumn<int>("enters");
        QTest::addColumn<int>("statusQueries");

        QTest::newRow("paired on the first poll") << 0 << 0 << true << 1 << 1;
        QTest::newRow("paired after 7 polls") << 7 << 0 << true << 1 << 8;
        QTest::newRow("never paired") << SimReceiver::kNeverPaired << 0 << false << 1 << FPairingFarrant::kMaxPolls;
        QTest::newRow("enter refused a few times") << 2 << 3 << true << 4 << 3;
        QTest::newRow("enter never accepted") << 0 << FPairingFarrant::kCommandTries << false
                                              << FPairingFarrant::kCommandTries << 0;
    }

    void pairing()
    {
        QFETCH(int, pollsBeforePaired);
        QFETCH(int, refusedCommands);
        QFETCH(bool, paired);
        QFETCH(int, enters);
        QFETCH(int, statusQueries);

        m_receiver->setPollsBeforePaired(pollsBeforePaired);
        m_receiver->answerNext(FPairingFarrant::StatusError, refusedCommands);
        FPairing pairing;
        QSignalSpy outcome(&pairing, &FPairing::sigFinishState);
        pairing.pairingStart();
        QVERIFY(finished(pairing, outcome));
        QCoreApplication::processEvents();
        QCOMPARE(outcome.size(), 1);
        QCOMPARE(outcome.first().at(0).toBool(), paired);

        const QStringList commands = m_receiver->commands();
        QCOMPARE(countOf(commands, "enter"), enters);
        QCOMPARE(countOf(commands, "status"), statusQueries);
        QCOMPARE(m_receiver->isPaired(), paired);
        if (statusQueries > 0) {
            // One new key per pairing, in range.
            QCOMPARE(countOf(commands, "key "), 1);
            QVERIFY(m_receiver->lastKey() >= 1 && m_receiver->lastKey() <= 32768);
        }
        // A failed pairing leaves the receiver out of pairing mode.
        QCOMPARE(countOf(commands, "cancel"), paired ? 0 : 1);
        QVERIFY(!m_receiver->inPairingMode() || paired);
    }

    void keysAreInRange()
    {
        for (int i = 0; i < 2000; ++i) {
            const quint32 key = FPairingFarrant::newPairingKey();
            QVERIFY(key >= 1 && key <= 32768);
        }
        const QByteArray packet = FPairingFarrant::pairingKeyPacket(0x8001);
        QCOMPARE(packet.size(), FPairingFarrant::kPacketSize);
        QCOMPARE(packet.left(6), QByteArray::fromHex("a18f01800000"));
    }

    void notAReceiver()
    {
        KDeviceController::instance()->deviceWatcher()->setCurrentPid(DeviceIds::kKeyboardWired);
        FPairing pairing;
        QSignalSpy outcome(&pairing, &FPairing::sigFinishState);
        pairing.pairingStart();
        QCOMPARE(outcome.size(), 1);
        QCOMPARE(outcome.first().at(0).toBool(), false);
        QVERIFY(!pairing.thread());
        QVERIFY(m_receiver->commands().isEmpty());
    }

    void noReceiverPresent()
    {
        m_receiver->unplug();
        FPairing pairing;
        QSignalSpy outcome(&pairing, &FPairing::sigFinishState);
        pairing.pairingStart();
        QVERIFY(finished(pairing, outcome));
        QCoreApplication::processEvents();
        QCOMPARE(outcome.size(), 1);
        QCOMPARE(outcome.first().at(0).toBool(), false);
        // Six attempts, a second apart.
        QCOMPARE(Platform::recordedSleeps(), QVector<int>(FPairingFarrant::kOpenRetries, FPairingFarrant::kOpenRetryPauseMs).toList());
    }

    void receiverPulledMidPairing()
    {
        FPairing pairing;
        QSignalSpy outcome(&pairing, &FPairing::sigFinishState);
        QVERIFY(startPolling(pairing, 2));
        m_receiver->unplug();
        QVERIFY(finished(pairing, outcome));
        QCoreApplication::processEvents();
        QCOMPARE(outcome.size(), 1);
        QCOMPARE(outcome.first().at(0).toBool(), false);
        QVERIFY(countOf(m_receiver->commands(), "status") < FPairingFarrant::kMaxPolls);
    }

    void startTwice()
    {
        FPairing pairing;
        QSignalSpy outcome(&pairing, &FPairing::sigFinishState);
        QVERIFY(startPolling(pairing, 1));
        // The second start ends the first pairing (which reports nothing) before its own begins.
        pairing.pairingStart();
        QVERIFY(pairing.thread());
        // The second pairing's thread may already be talking to the receiver: the first one's cancel comes
        // before the second one's enter.
        WAIT_COMPARE(countOf(m_receiver->commands(), "enter"), 2);
        const QStringList sent = m_receiver->commands();
        const int firstCancel = sent.indexOf(QStringLiteral("cancel"));
        QVERIFY2(firstCancel >= 0 && firstCancel < sent.lastIndexOf(QStringLiteral("enter")),
                 qPrintable(sent.join(QLatin1Char(' '))));
        QVERIFY(finished(pairing, outcome));
        QTest::qWait(20);
        QCOMPARE(outcome.size(), 1);
        QCOMPARE(outcome.first().at(0).toBool(), false);
        QCOMPARE(countOf(m_receiver->commands(), "enter"), 2);
        QCOMPARE(countOf(m_receiver->commands(), "cancel"), 2);
    }

    void stopCancelsOnTheReceiver()
    {
        FPairing pairing;
        QSignalSpy outcome(&pairing, &FPairing::sigFinishState);
        QVERIFY(startPolling(pairing, 1));
        pairing.pairingStop();
        QVERIFY(!pairing.thread());
        QCoreApplication::processEvents();
        // A stopped pairing reports nothing and leaves the receiver out of pairing mode.
        QCOMPARE(outcome.size(), 0);
        QCOMPARE(m_receiver->commands().last(), QStringLiteral("cancel"));
        QVERIFY(!m_receiver->inPairingMode());
    }
};

QTEST_MAIN(TestPairing)
#include "tst_pairing.moc"
