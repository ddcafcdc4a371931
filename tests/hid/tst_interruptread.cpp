#include "SimBusFixture.h"
#include "SimRecordingResponder.h"
#include "common/DeviceIds.h"
#include "hid/FarrantInterruputRead.h"
#include "hid/Quenby_8aInterruputRead.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QtConcurrent>
#include <QtTest>

// What a reader sent, recorded on the test's thread. The reader emits on its own thread; each text comes over
// the event queue (a queued connection), so only the test's thread touches the lists. After a reader has
// stopped, flush() delivers what it sent before it ended.
class ReaderLog : public QObject
{
public:
    // Made before the reader, so that it outlives the reader's thread.
    void listen(KInterruptReadThread* reader)
    {
        connect(reader, &KInterruptReadThread::postMsg, this, [this](const QString& text) { messages << text; },
                Qt::QueuedConnection);
        connect(reader, &KInterruptReadThread::sigData, this, [this](const QString& bytes) { data << bytes; },
                Qt::QueuedConnection);
    }

    void flush() { QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); }

    QStringList messages;
    QStringList data;
};

// The interrupt-read threads on the simulated bus: what they hand over, how they give up, and that they
// stop at once and release their channel when their owner goes.
class TestInterruptRead : public QObject
{
    Q_OBJECT

private:
    static constexpr quint16 kKeyboard = DeviceIds::kKeyboardWired;

    static int plugKeyboard(SimBusFixture& bus, SimRecordingResponder* firmware, quint16 inputLength = 65)
    {
        return bus.plug({SimCollection::make(0xFF01, 0x92, inputLength, 65, 0)}, {firmware}, DeviceIds::kVendorId,
                        kKeyboard);
    }

private slots:
    void reportReachesBothSignals_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QString>("hex");
        QTest::newRow("mode change") << QByteArray::fromHex("0602ff10") << QStringLiteral("6 2 ff 10 ");
        QTest::newRow("zero bytes inside") << QByteArray::fromHex("06000001") << QStringLiteral("6 0 0 1 ");
        QTest::newRow("zero tail") << QByteArray::fromHex("0680a000") << QStringLiteral("6 80 a0 0 ");
    }

    void reportReachesBothSignals()
    {
        QFETCH(QByteArray, report);
        QFETCH(QString, hex);
        SimBusFixture bus;
        SimRecordingResponder firmware;
        plugKeyboard(bus, &firmware, quint16(report.size()));

        ReaderLog log;
        Quenby_8aInterruputRead reader;
        log.listen(&reader);
        reader.setPid(kKeyboard);
        reader.start();
        WAIT_VERIFY(log.messages.contains(QStringLiteral("open device")));

        firmware.pushInputReport(report);
        WAIT_COMPARE(log.data.count(), 1);
        QCOMPARE(log.messages.last(), hex);
        const QString bytes = log.data.first();
        QCOMPARE(bytes.size(), report.size());
        for (int i = 0; i < report.size(); ++i)
            QCOMPARE(bytes.at(i).unicode(), ushort(quint8(report.at(i))));
        // Reads are paced.
        QVERIFY(Platform::recordedSleeps().contains(100));
    }

    void openGivesUpAfterSixAttempts_data()
    {
        QTest::addColumn<int>("failedOpens");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("pauses");
        QTest::newRow("opens on the sixth") << 5 << QStringLiteral("open device") << 5;
        QTest::newRow("never opens") << 6 << QStringLiteral("Device pull out") << 5;
        QTest::newRow("opens at once") << 0 << QStringLiteral("open device") << 0;
    }

    void openGivesUpAfterSixAttempts()
    {
        QFETCH(int, failedOpens);
        QFETCH(QString, outcome);
        QFETCH(int, pauses);
        SimBusFixture bus;
        SimRecordingResponder firmware;
        const int id = plugKeyboard(bus, &firmware);
        if (failedOpens > 0)
            bus->failNext(id, SimBus::Fault::OpenWrite, failedOpens);
        Platform::clearRecordedSleeps();

        ReaderLog log;
        Quenby_8aInterruputRead reader;
        log.listen(&reader);
        reader.setPid(kKeyboard);
        reader.start();
        WAIT_VERIFY(!log.messages.isEmpty());
        QCOMPARE(log.messages, QStringList{outcome});
        QCOMPARE(Platform::recordedSleeps().mid(0, pauses), QList<int>() << QVector<int>(pauses, 1000).toList());
        if (outcome == QLatin1String("Device pull out")) {
            QVERIFY(reader.wait(TestWait::kBoundMs));
            QCOMPARE(Platform::recordedSleeps(), QVector<int>(pauses, 1000).toList());
        }
    }

    void absentDeviceEndsWithPullOut()
    {
        SimBusFixture bus;
        Platform::clearRecordedSleeps();
        ReaderLog log;
        Quenby_8aInterruputRead reader;
        log.listen(&reader);
        reader.setPid(kKeyboard);
        reader.start();
        QVERIFY(reader.wait(TestWait::kBoundMs));
        log.flush();
        QCOMPARE(log.messages, QStringList{QStringLiteral("Device pull out")});
        QCOMPARE(Platform::recordedSleeps(), QVector<int>(5, 1000).toList());
    }

    // Failures are counted over the thread's life: successes in between do not reset the count.
    void fourthFailedReadEndsTheThread()
    {
        SimBusFixture bus;
        SimRecordingResponder firmware;
        const int id = plugKeyboard(bus, &firmware, 4);
        bus->failNext(id, SimBus::Fault::Read, 3);

        ReaderLog log;
        Quenby_8aInterruputRead reader;
        log.listen(&reader);
        reader.setPid(kKeyboard);
        reader.start();
        WAIT_COMPARE(log.messages.count(QStringLiteral("[error] readfile")), 3);
        firmware.pushInputReport(QByteArray::fromHex("06010203"));
        WAIT_COMPARE(log.data.count(), 1);
        QVERIFY(!reader.isFinished());

        bus->failNext(id, SimBus::Fault::Read, 1);
        firmware.pushInputReport(QByteArray::fromHex("06040506")); // wakes a read already waiting
        QVERIFY(reader.wait(TestWait::kBoundMs));
        log.flush();
        QCOMPARE(log.messages.count(QStringLiteral("[error] readfile")), 4);
    }

    void stopWakesABlockedRead()
    {
        SimBusFixture bus;
        SimRecordingResponder firmware;
        const int id = plugKeyboard(bus, &firmware);
        ReaderLog log;
        Quenby_8aInterruputRead reader;
        log.listen(&reader);
        reader.setPid(kKeyboard);
        reader.start();
        WAIT_VERIFY(log.messages.contains(QStringLiteral("open device")));
        WAIT_VERIFY(bus->blockedReads() > 0); // blocked in the read

        QElapsedTimer timer;
        timer.start();
        reader.stop();
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(reader.isFinished());
        log.flush();
        QVERIFY(!log.messages.contains(QStringLiteral("[error] readfile")));
        QCOMPARE(bus->openHandleCount(id), 2); // still owned until the reader is destroyed
    }

    // The pause between open attempts is a second in the program; a stop must not wait for it.
    void stopCutsAnOpenPauseShort()
    {
        SimBusFixture bus; // nothing plugged: every attempt fails
        Platform::setSleepScale(1.0);
        ReaderLog log;
        Quenby_8aInterruputRead reader;
        log.listen(&reader);
        reader.setPid(kKeyboard);
        Platform::clearRecordedSleeps();
        reader.start();
        // The first attempt has failed; the reader is in its pause (recorded as it begins).
        WAIT_VERIFY(!Platform::recordedSleeps().isEmpty());

        QElapsedTimer timer;
        timer.start();
        reader.stop();
        const qint64 took = timer.elapsed();
        Platform::setSleepScale(0.0);
        QVERIFY2(took < 500, qPrintable(QStringLiteral("stop took %1 ms").arg(took)));
        QVERIFY(reader.isFinished());
        log.flush();
        QVERIFY(log.messages.isEmpty()); // a stopped reader reports nothing
    }

    // An owner may stop its reader from a handler connected directly to the reader's signal, which runs on
    // the reader thread: that must end the thread, not wait for itself.
    void stopFromTheReaderThreadEndsIt()
    {
        SimBusFixture bus;
        SimRecordingResponder firmware;
        plugKeyboard(bus, &firmware);
        ReaderLog log;
        Quenby_8aInterruputRead reader;
        log.listen(&reader);
        connect(
            &reader, &Quenby_8aInterruputRead::postMsg, &reader,
            [&reader](const QString& message) {
                if (message == QLatin1String("open device"))
                    reader.stop();
            },
            Qt::DirectConnection);
        reader.setPid(kKeyboard);
        reader.start();
        QVERIFY(reader.wait(TestWait::kBoundMs));
        firmware.pushInputReport(QByteArray::fromHex("0601"));
        QTest::qWait(20);
        log.flush();
        QCOMPARE(log.messages, QStringList{QStringLiteral("open device")});
    }

    void interruptibleSleep()
    {
        Platform::clearRecordedSleeps();
        Platform::InterruptibleSleep pause;
        // Scaled to nothing in tests, recorded all the same.
        QVERIFY(pause.sleepMs(1000));
        QCOMPARE(Platform::recordedSleeps(), QList<int>{1000});

        Platform::setSleepScale(1.0);
        QFuture<bool> slept = QtConcurrent::run([&pause] { return pause.sleepMs(10000); });
        // Interrupted once the sleep has begun (it is recorded as it starts), so that this wakes a sleep in progress.
        WAIT_COMPARE(Platform::recordedSleeps(), (QList<int>{1000, 10000}));
        QElapsedTimer timer;
        timer.start();
        pause.interrupt();
        WAIT_VERIFY(slept.isFinished());
        const qint64 took = timer.elapsed();
        Platform::setSleepScale(0.0);
        QVERIFY(!slept.result());
        QVERIFY2(took < 2000, qPrintable(QStringLiteral("woke after %1 ms").arg(took)));
        QVERIFY(pause.isInterrupted());
        // Interrupted for good: later sleeps end at once and are not recorded.
        QVERIFY(!pause.sleepMs(1000));
        QCOMPARE(Platform::recordedSleeps(), (QList<int>{1000, 10000}));
    }

    void deletingTheOwnerMidReadJoinsAndReleases()
    {
        SimBusFixture bus;
        SimRecordingResponder firmware;
        const int id = plugKeyboard(bus, &firmware);
        ReaderLog log;
        auto* owner = new QObject;
        QPointer<Quenby_8aInterruputRead> reader = new Quenby_8aInterruputRead(owner);
        log.listen(reader.data());
        reader->setPid(kKeyboard);
        reader->start();
        WAIT_VERIFY(log.messages.contains(QStringLiteral("open device")));
        QVERIFY(bus->openHandleCount(id) > 0);

        QElapsedTimer timer;
        timer.start();
        delete owner;
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(reader.isNull());
        QCOMPARE(bus->openHandleCount(id), 0);
    }

    void mouseReaderFindsItsInterface_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("collection");
        // Receiver models read the receiver's vendor collection; the others the fifth collection.
        QTest::newRow("receiver model") << int(DeviceIds::mousePid("YARRIN", true)) << 1;
        QTest::newRow("wired mouse") << int(DeviceIds::mousePid("FARRANT")) << 4;
    }

    void mouseReaderFindsItsInterface()
    {
        QFETCH(int, pid);
        QFETCH(int, collection);
        SimBusFixture bus;
        QList<SimCollection> collections = {
            SimCollection::make(0x0001, 0x02, 8, 0, 0),
            SimCollection::make(0xFF00, 0x02, 33, 33, 0),
            SimCollection::make(0x000C, 0x01, 4, 0, 0),
            SimCollection::make(0xFF00, 0x01, 33, 33, 0),
            SimCollection::make(0xFF00, 0x05, 33, 33, 0),
        };
        QList<SimRecordingResponder*> firmware;
        QList<SimResponder*> responders;
        for (int i = 0; i < collections.size(); ++i) {
            firmware << new SimRecordingResponder;
            responders << firmware.last();
        }
        bus.plug(collections, responders, DeviceIds::kVendorId, quint16(pid));

        {
            ReaderLog log;
            FarrantInterruputRead reader;
            log.listen(&reader);
            reader.setPid(pid);
            reader.start();
            WAIT_VERIFY(log.messages.contains(QStringLiteral("open device")));
            for (SimRecordingResponder* other : firmware) {
                if (other != firmware.at(collection))
                    other->pushInputReport(QByteArray::fromHex("0101"));
            }
            firmware.at(collection)->pushInputReport(QByteArray::fromHex("0507"));
            WAIT_COMPARE(log.data.count(), 1);
            QCOMPARE(log.data.first().left(2), QString::fromLatin1("\x05\x07", 2));
        }
        bus->reset();
        qDeleteAll(firmware);
    }

    void batteryPollOpensNothingAndStops()
    {
        SimBusFixture bus;
        bus->clearTranscript();
        Platform::setSleepScale(0.001); // 10 ms between polls
        ReaderLog log;
        FarrantInterruputRead reader;
        log.listen(&reader);
        reader.setPid(DeviceIds::mousePid("FARRANT", true));
        reader.start();
        WAIT_VERIFY(log.messages.count() >= 3);
        QElapsedTimer timer;
        timer.start();
        reader.stop();
        QVERIFY(timer.elapsed() < 1000);
        Platform::setSleepScale(0.0);
        log.flush();
        QCOMPARE(log.messages.toSet(), QSet<QString>{QStringLiteral("start getBatteryValue")});
        QVERIFY(bus->transcript().isEmpty());
    }
};

QTEST_MAIN(TestInterruptRead)
#include "tst_interruptread.moc"
