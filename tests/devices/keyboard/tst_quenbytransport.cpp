// The keyboard's register transport against the simulated keyboard: retries and their waits, chunking of
// bulk writes, and the version read.

#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "devices/keyboard/Quenby8aTransport.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QMutex>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

QList<int> hundreds(int count)
{
    QList<int> out;
    for (int i = 0; i < count; ++i)
        out << 100;
    return out;
}

QByteArray pattern(int size)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char((i * 7 + 3) & 0xFF);
    return out;
}

} // namespace

class TestQuenbyTransport : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_bus = std::make_unique<SimBusFixture>();
        m_keyboard = std::make_unique<SimQuenbyKeyboard>();
        QVERIFY(m_keyboard->plug(m_bus->bus()));
        m_channel = std::make_unique<KHID::KUSBDevice>();
        QVERIFY(m_channel->initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWired, 0x92, 0xFF1C, 0));
        m_transport.setChannel(m_channel.get());
        m_transport.setMutex(&m_mutex);
        m_keyboard->clearCommands();
        Platform::clearRecordedSleeps();
    }

    void cleanup()
    {
        m_transport.setChannel(nullptr);
        m_channel.reset();
        m_keyboard.reset();
        m_bus.reset();
    }

    void writeStatusSequences_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("sends");
        QTest::addColumn<QList<int>>("sleeps");
        QTest::newRow("done at once") << QList<int>{1} << true << 1 << hundreds(1);
        QTest::newRow("busy twice, then done") << QList<int>{0, 0, 1} << true << 3 << hundreds(5);
        QTest::newRow("never done") << QList<int>{0, 0, 0} << false << 3 << hundreds(6);
        QTest::newRow("error, then done") << QList<int>{2, 1} << true << 2 << hundreds(3);
        QTest::newRow("invalid status 5, then done") << QList<int>{5, 1} << true << 2 << hundreds(3);
        QTest::newRow("invalid status 5 throughout") << QList<int>{5, 5, 5} << false << 3 << hundreds(6);
    }

    void writeStatusSequences()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(bool, ok);
        QFETCH(int, sends);
        QFETCH(QList<int>, sleeps);
        m_keyboard->scriptStatuses(statuses);
        QCOMPARE(m_transport.writeRegister(Quenby8a::kRegLogoMode, QByteArray(1, '\x03')), ok);
        QCOMPARE(Platform::recordedSleeps(), sleeps);
        QCOMPARE(m_keyboard->commands().size(), sends);
    }

    void readStatusSequences_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<int>>("sleeps");
        QTest::newRow("done at once") << QList<int>{1} << true << hundreds(1);
        QTest::newRow("busy twice, then done") << QList<int>{0, 0, 1} << true << hundreds(3);
        QTest::newRow("never done") << QList<int>{0, 0, 0} << false << hundreds(4);
        QTest::newRow("invalid status") << QList<int>{7, 7, 7} << false << hundreds(4);
    }

    void readStatusSequences()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(bool, ok);
        QFETCH(QList<int>, sleeps);
        m_keyboard->setRegister(Quenby8a::kRegBrightness, 2);
        m_keyboard->scriptStatuses(statuses);
        const QByteArray data = m_transport.readRegister(Quenby8a::kRegBrightness, 1);
        QCOMPARE(!data.isEmpty(), ok);
        if (ok)
            QCOMPARE(int(data.at(0)), 2);
        QCOMPARE(Platform::recordedSleeps(), sleeps);
        // A read sends its packet once and then only polls.
        QCOMPARE(m_keyboard->commands().size(), 1);
    }

    void sendFailures()
    {
        // A write whose sends all fail makes its three attempts without waiting.
        m_bus->bus()->failNext(m_keyboard->busDeviceId(), SimBus::Fault::Write, 3);
        QVERIFY(!m_transport.writeRegister(Quenby8a::kRegLogoMode, QByteArray(1, '\x01')));
        QCOMPARE(Platform::recordedSleeps(), QList<int>());
        QVERIFY(m_keyboard->commands().isEmpty());

        // A read waits between its failed sends and gives up after the third.
        Platform::clearRecordedSleeps();
        m_bus->bus()->failNext(m_keyboard->busDeviceId(), SimBus::Fault::Write, 3);
        QVERIFY(m_transport.readRegister(Quenby8a::kRegLogoMode, 1).isEmpty());
        QCOMPARE(Platform::recordedSleeps(), hundreds(2));

        // One failed send is made up by the next attempt.
        Platform::clearRecordedSleeps();
        m_bus->bus()->failNext(m_keyboard->busDeviceId(), SimBus::Fault::Write, 1);
        QVERIFY(m_transport.writeRegister(Quenby8a::kRegLogoMode, QByteArray(1, '\x01')));
        QCOMPARE(Platform::recordedSleeps(), hundreds(1));
    }

    void withoutChannel()
    {
        m_transport.setChannel(nullptr);
        QVERIFY(!m_transport.writeRegister(Quenby8a::kRegLogoMode, QByteArray(1, '\x01')));
        QVERIFY(m_transport.readRegister(Quenby8a::kRegLogoMode, 1).isEmpty());
        QCOMPARE(m_transport.readVersion(), -1);
        quint8 reply[65] = {};
        QCOMPARE(m_transport.readReply(reply, 64, Quenby8a::kReportId), int(Quenby8a::kReplyNoChannel));
        m_transport.setChannel(m_channel.get());
        QCOMPARE(m_transport.readReply(reply, 129, Quenby8a::kReportId), int(Quenby8a::kReplyNoChannel));
    }

    void packetLayout()
    {
        QVERIFY(m_transport.writeRegister(0xA0C0 + 504, QByteArray::fromHex("0a0b0c")));
        const auto commands = m_keyboard->commands();
        QCOMPARE(commands.size(), 1);
        QCOMPARE(int(commands.first().address), 0xFF);
        QCOMPARE(int(commands.first().command), 0xA5);
        QCOMPARE(commands.first().length, 3);
        QCOMPARE(commands.first().reg, quint32(0xA0C0 + 504));
        QCOMPARE(commands.first().data, QByteArray::fromHex("0a0b0c"));
    }

    void bulkChunks_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<QList<int>>("chunks");
        QTest::newRow("8") << 8 << QList<int>{8};
        QTest::newRow("56") << 56 << QList<int>{56};
        QTest::newRow("57") << 57 << QList<int>{56, 1};
        QTest::newRow("112") << 112 << QList<int>{56, 56};
        QTest::newRow("128") << 128 << QList<int>{56, 56, 16};
        QTest::newRow("384") << 384 << QList<int>{56, 56, 56, 56, 56, 56, 48};
        QTest::newRow("512") << 512 << QList<int>{56, 56, 56, 56, 56, 56, 56, 56, 56, 8};
    }

    void bulkChunks()
    {
        QFETCH(int, total);
        QFETCH(QList<int>, chunks);
        const quint32 start = Quenby8a::kRegMacroRecords + 512;
        const QByteArray data = pattern(total);
        QVERIFY(m_transport.writeBulk(start, data, QStringLiteral("[error]write keyFunction")));

        const auto writes = m_keyboard->appliedWrites();
        QCOMPARE(writes.size(), chunks.size());
        quint32 address = start;
        for (int i = 0; i < writes.size(); ++i) {
            QCOMPARE(writes.at(i).length, chunks.at(i));
            QCOMPARE(writes.at(i).reg, address);
            address += quint32(chunks.at(i));
        }
        QCOMPARE(m_keyboard->memory(start, total), data);
        // Each chunk: its 100 ms status wait, then the 10 ms pacing.
        QList<int> expected;
        for (int i = 0; i < chunks.size(); ++i)
            expected << 100 << 10;
        QCOMPARE(Platform::recordedSleeps(), expected);
    }

    void failedChunkStopsTheWrite()
    {
        const quint32 start = Quenby8a::kRegKeyTable;
        const QByteArray before = m_keyboard->memory(start, 512);
        m_keyboard->failWritesAt(start + 112, -1);
        QVERIFY(!m_transport.writeBulk(start, pattern(512), QStringLiteral("[error]write keyFunction")));
        const auto writes = m_keyboard->appliedWrites();
        QCOMPARE(writes.size(), 2);
        QCOMPARE(m_keyboard->memory(start, 112), pattern(512).left(112));
        QCOMPARE(m_keyboard->memory(start + 112, 400), before.mid(112));
    }

    void bulkRead()
    {
        QCOMPARE(m_transport.readBulk(Quenby8a::kRegKeyTable, 512), m_keyboard->keyTable());
        QCOMPARE(m_keyboard->commands().size(), 10);
        // The fifth chunk's read settles on an error: the whole read fails and stops there.
        m_keyboard->clearCommands();
        m_keyboard->failCommands(1, SimQuenby::StatusError, 4);
        QVERIFY(m_transport.readBulk(Quenby8a::kRegKeyTable, 512).isEmpty());
        QCOMPARE(m_keyboard->commands().size(), 5);
    }

    // Two callers sharing the transaction mutex: their exchanges never interleave on the bus, though their
    // bulk writes may take turns between chunks.
    void concurrentCallersDoNotInterleave()
    {
        KHID::KUSBDevice second;
        QVERIFY(second.initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWired, 0x92, 0xFF1C, 0));
        Quenby8aTransport other;
        other.setChannel(&second);
        other.setMutex(&m_mutex);
        m_bus->bus()->clearTranscript();
        bool okA = false, okB = false;
        std::unique_ptr<QThread> a(QThread::create([&] {
            okA = m_transport.writeBulk(Quenby8a::kRegMacroRecords, pattern(512), QStringLiteral("a"));
        }));
        std::unique_ptr<QThread> b(QThread::create([&] {
            okB = other.writeBulk(Quenby8a::kRegMacroRecords + 512, pattern(384), QStringLiteral("b"));
        }));
        a->start();
        b->start();
        QVERIFY(a->wait(TestWait::kBoundMs) && b->wait(TestWait::kBoundMs));
        QVERIFY(okA && okB);
        QString why;
        QVERIFY2(SimBus::checkNoInterleaving(m_bus->bus()->transcript(), &why), qPrintable(why));
        QCOMPARE(m_keyboard->memory(Quenby8a::kRegMacroRecords, 512), pattern(512));
        QCOMPARE(m_keyboard->memory(Quenby8a::kRegMacroRecords + 512, 384), pattern(384));
    }

    void version_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("version");
        QTest::newRow("1.12") << 0x01 << 0x12 << 112;
        QTest::newRow("1.09") << 0x01 << 0x09 << 109;
        QTest::newRow("letter in minor") << 0x01 << 0x1A << 100;
        QTest::newRow("letter in major") << 0x1A << 0x05 << 5;
        QTest::newRow("10.40") << 0x10 << 0x40 << 1040;
    }

    void version()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, version);
        m_keyboard->setFirmwareVersion(quint8(major), quint8(minor));
        QCOMPARE(m_transport.readVersion(), version);
        QVERIFY(m_keyboard->commands().first().isVersion());
    }

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimQuenbyKeyboard> m_keyboard;
    std::unique_ptr<KHID::KUSBDevice> m_channel;
    QMutex m_mutex;
    Quenby8aTransport m_transport;
};

QTEST_GUILESS_MAIN(TestQuenbyTransport)
#include "tst_quenbytransport.moc"
