// The register mouse transport against the simulated register mouse: the two transactions with their retry
// counts and waits (recorded, not slept), the game-mode step before a register write, the setter pattern
// that keeps the other bytes of the word, and the commands of the set.

#include "LogCapture.h"
#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "devices/mouse/register/FarrantNordicTransport.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"
#include "sim/mouse/register/SimRegisterMouse.h"

#include <QMutex>
#include <QtTest>

#include <memory>
#include <thread>

using namespace FarrantNordic;
using Change = QPair<int, quint8>;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

int countSends(const QList<SimRegisterMouse::Command>& commands, quint8 command)
{
    int n = 0;
    for (const auto& c : commands)
        n += c.command == command;
    return n;
}

} // namespace

class TestFarrantNordicTransport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void retries_data();
    void retries();
    void noChannel();
    void gameModeStep_data();
    void gameModeStep();
    void updateWordKeepsBytes();
    void readFailureWritesNothing();
    void commandSet_data();
    void commandSet();
    void twoMiceDoNotInterleave();

private:
    void plugMouse(quint16 productId, quint8 address);

    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimRegisterMouse> m_mouse;
    std::unique_ptr<KHID::KUSBDevice> m_channel;
    QMutex m_mutex;
    FarrantNordicTransport m_transport;
};

void TestFarrantNordicTransport::init()
{
    m_bus = std::make_unique<SimBusFixture>();
    plugMouse(DeviceIds::kJarrowNordic, kAddressWired);
    Platform::setSleepRecording(true);
    Platform::clearRecordedSleeps();
}

void TestFarrantNordicTransport::cleanup()
{
    Platform::setSleepRecording(false);
    m_transport.setChannel(nullptr);
    m_channel.reset();
    m_mouse.reset();
    m_bus.reset();
}

void TestFarrantNordicTransport::plugMouse(quint16 productId, quint8 address)
{
    m_transport.setChannel(nullptr);
    m_channel.reset();
    m_mouse.reset();
    m_mouse = std::make_unique<SimRegisterMouse>(productId, address);
    QVERIFY(m_mouse->plug(m_bus->bus()));
    m_channel = std::make_unique<KHID::KUSBDevice>();
    QVERIFY(m_channel->initDevice(DeviceIds::kVendorId, productId, kCommandUsage, kCommandUsagePage, 0));
    m_transport.setCachedGameMode(-1);
    m_transport.setChannel(m_channel.get());
    m_transport.setMutex(&m_mutex);
    m_transport.setAddressByte(address);
}

void TestFarrantNordicTransport::retries_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("busy");
    QTest::addColumn<QList<int>>("script");
    QTest::addColumn<int>("stuck");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("sends");
    QTest::addColumn<int>("sleeps");

    // A write resends after every status that is not ok: one wait before each status read, one after a miss.
    QTest::newRow("write: busy four times") << true << 4 << QList<int>() << -1 << true << 5 << 9;
    QTest::newRow("write: error then ok") << true << 0 << QList<int>{2} << -1 << true << 2 << 3;
    QTest::newRow("write: never ok") << true << 0 << QList<int>() << int(kStatusBusy) << false << 30 << 60;
    QTest::newRow("write: odd status") << true << 0 << QList<int>{9} << -1 << true << 2 << 3;
    // A read sends once and polls the status, the first poll at once.
    QTest::newRow("read: busy four times") << false << 4 << QList<int>() << -1 << true << 1 << 4;
    QTest::newRow("read: error then ok") << false << 0 << QList<int>{2} << -1 << true << 1 << 1;
    QTest::newRow("read: never ok") << false << 0 << QList<int>() << int(kStatusError) << false << 1 << 29;
}

void TestFarrantNordicTransport::retries()
{
    QFETCH(bool, write);
    QFETCH(int, busy);
    QFETCH(QList<int>, script);
    QFETCH(int, stuck);
    QFETCH(bool, ok);
    QFETCH(int, sends);
    QFETCH(int, sleeps);

    m_mouse->setBusyReplies(busy);
    m_mouse->scriptStatuses(script);
    m_mouse->setStuckStatus(stuck);
    m_transport.setCachedGameMode(1);
    const bool result = write ? m_transport.writeRegisters(kRegPicTime, bytes({7, 0, 0, 0}), true)
                              : !m_transport.readRegister(kRegPicTime).isEmpty();
    QCOMPARE(result, ok);
    QCOMPARE(m_mouse->commands().size(), sends);
    const QList<int> recorded = Platform::recordedSleeps();
    QCOMPARE(recorded.size(), sleeps);
    QCOMPARE(recorded.count(kTryDelayMs), sleeps);
    if (write)
        QCOMPARE(m_mouse->registerValue(kRegPicTime), quint8(ok ? 7 : 3));
}

void TestFarrantNordicTransport::noChannel()
{
    m_transport.setChannel(nullptr);
    quint8 packet[kPacketSize] = {};
    QVERIFY(m_transport.buildCommand(packet, kCmdVersion, 0, 0));
    QVERIFY(!m_transport.buildCommand(nullptr, kCmdVersion, 0, 0));
    QVERIFY(!m_transport.sendPacket(packet, kPacketSize, kReportId));
    QCOMPARE(m_transport.readReply(packet, kPacketSize, kReportId), int(kReplyNoChannel));
    QVERIFY(!m_transport.writeCommand(packet, kPacketSize, kReportId));
    QCOMPARE(m_transport.readVersion(), -1);
    QVERIFY(m_mouse->commands().isEmpty());

    // A mouse unplugged under an open channel: sends fail, the write gives up after its attempts, no hang.
    m_transport.setChannel(m_channel.get());
    m_mouse->unplug();
    m_transport.setCachedGameMode(1);
    QVERIFY(!m_transport.writeRegisters(kRegPicTime, bytes({1, 0, 0, 0}), true));
    QCOMPARE(m_transport.getGameMode(), -1);
}

void TestFarrantNordicTransport::gameModeStep_data()
{
    QTest::addColumn<int>("cached");
    QTest::addColumn<bool>("step");
    QTest::addColumn<QList<int>>("sequence");

    QTest::newRow("cached 1") << 1 << true << QList<int>{kCmdReadRegister, kCmdWriteRegister};
    QTest::newRow("cached 0") << 0 << true << QList<int>{kCmdReadRegister, kCmdSetGameMode, kCmdWriteRegister};
    QTest::newRow("never read") << -1 << true << QList<int>{kCmdReadRegister, kCmdSetGameMode, kCmdWriteRegister};
    QTest::newRow("setter without the step") << 0 << false << QList<int>{kCmdReadRegister, kCmdWriteRegister};
}

void TestFarrantNordicTransport::gameModeStep()
{
    QFETCH(int, cached);
    QFETCH(bool, step);
    QFETCH(QList<int>, sequence);

    m_transport.setCachedGameMode(cached);
    QVERIFY(m_transport.updateWord(kRegDpiIndex, {Change(0, 3)}, step, QStringLiteral("setDpiIndex")));
    QList<int> sent;
    for (const auto& c : m_mouse->commands())
        sent << c.command;
    QCOMPARE(sent, sequence);
    if (sequence.contains(kCmdSetGameMode)) {
        QCOMPARE(m_mouse->commands().at(1).length, 1);
        QCOMPARE(m_transport.cachedGameMode(), 1);
        QVERIFY(m_mouse->commands().last().inGameMode);
    }
    QCOMPARE(m_mouse->dpiIndex(), 3);

    // Game mode refused: nothing is written.
    if (step && cached != 1) {
        m_mouse->clearCommands();
        m_transport.setCachedGameMode(0);
        m_mouse->setGameMode(0);
        m_mouse->failCommands(30, kStatusError, 1);  // the word read passes, every 0xA1 fails
        QVERIFY(!m_transport.updateWord(kRegDpiIndex, {Change(0, 5)}, step, QStringLiteral("setDpiIndex")));
        QCOMPARE(countSends(m_mouse->commands(), kCmdWriteRegister), 0);
        QCOMPARE(m_mouse->dpiIndex(), 3);
    }
}

void TestFarrantNordicTransport::updateWordKeepsBytes()
{
    m_transport.setCachedGameMode(1);
    m_mouse->setMemory(kRegOled, bytes({60, 2, 3, 0x77}));
    QVERIFY(m_transport.updateWord(kRegOled, {Change(0, 90), Change(3, 0)}, true, QString()));
    const auto writes = m_mouse->appliedWrites();
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes.first().reg, quint32(kRegOled));
    QCOMPARE(writes.first().data, bytes({90, 2, 3, 0}));
    QCOMPARE(int(writes.first().address), int(kAddressWired));
    QVERIFY(!m_transport.updateWord(kRegOled, {Change(4, 1)}, true, QString()));
    QCOMPARE(m_mouse->appliedWrites().size(), 1);
}

void TestFarrantNordicTransport::readFailureWritesNothing()
{
    LogCapture log;
    m_transport.setCachedGameMode(0);
    m_mouse->failCommands(30);
    QVERIFY(!m_transport.updateWord(kRegDpiIndex, {Change(0, 2)}, true, QStringLiteral("setDpiIndex")));
    QVERIFY(log.contains(QStringLiteral("[Error] setDpiIndex->getFlash")));
    QCOMPARE(m_mouse->commands().size(), 1);  // the read's one send; no 0xA1, no 0xA5
    QCOMPARE(m_mouse->dpiIndex(), 1);
}

void TestFarrantNordicTransport::commandSet_data()
{
    QTest::addColumn<quint16>("productId");
    QTest::addColumn<quint8>("address");
    QTest::newRow("wired") << DeviceIds::kJarrowNordic << kAddressWired;
    QTest::newRow("receiver") << DeviceIds::kJarrowNordicWireless << kAddressReceiver;
}

void TestFarrantNordicTransport::commandSet()
{
    QFETCH(quint16, productId);
    QFETCH(quint8, address);
    plugMouse(productId, address);

    m_mouse->setFirmwareVersion(0x01, 0x05);
    QCOMPARE(m_transport.readVersion(), 0x0105);

    m_mouse->setGameMode(0);
    QCOMPARE(m_transport.getGameMode(), 0);
    QVERIFY(m_transport.setGameMode(1));
    QCOMPARE(int(m_mouse->gameMode()), 1);
    QCOMPARE(m_transport.getGameMode(), 1);

    m_mouse->setBatteryReading(725);
    QCOMPARE(m_transport.readBatteryReply(), bytes({0xD5, 0x02, 0, 0}));

    // Factory reset: A D 52 3D behind the address byte, no game-mode step.
    m_mouse->setRegister(kRegOled, 10);
    m_transport.setCachedGameMode(0);
    m_mouse->clearCommands();
    QVERIFY(m_transport.factoryReset());
    const auto commands = m_mouse->commands();
    QCOMPARE(commands.size(), 1);
    QCOMPARE(int(commands.first().address), int(address));
    QCOMPARE(int(commands.first().command), int(kCmdFactoryReset));
    QCOMPARE(commands.first().length, int(kResetKey1));
    QCOMPARE(commands.first().reg, quint32(kResetKey2));
    QCOMPARE(m_mouse->factoryResets(), 1);
    QCOMPARE(m_mouse->oledIntensity(), 100);

    QVERIFY(m_transport.sendBare(kCmdBareA7));
    QVERIFY(m_transport.sendBare(kCmdBareA8));
    QCOMPARE(m_transport.readStatusA9(), int(m_mouse->gameMode()));
}

void TestFarrantNordicTransport::twoMiceDoNotInterleave()
{
    // A second mouse on the same bus, driven from another thread through the same shared mutex: each mouse
    // receives only its own packets, busy runs are absorbed by its own retries, and every write lands.
    SimRegisterMouse second(DeviceIds::kKelhamNordic, kAddressWired);
    QVERIFY(second.plug(m_bus->bus()));
    KHID::KUSBDevice channel;
    QVERIFY(channel.initDevice(DeviceIds::kVendorId, DeviceIds::kKelhamNordic, kCommandUsage, kCommandUsagePage, 0));
    FarrantNordicTransport other;
    other.setChannel(&channel);
    other.setMutex(&m_mutex);
    other.setCachedGameMode(1);
    m_transport.setCachedGameMode(1);
    m_mouse->setBusyReplies(3);
    second.setBusyReplies(3);

    bool okA = true;
    bool okB = true;
    std::thread a([&] {
        for (int i = 0; i < 20; ++i)
            okA = m_transport.writeRegisters(kRegPicTime, bytes({i, 0, 0, 0}), true) && okA;
    });
    std::thread b([&] {
        for (int i = 0; i < 20; ++i)
            okB = other.writeRegisters(kRegPicTime, bytes({50 + i, 0, 0, 0}), true) && okB;
    });
    a.join();
    b.join();
    QVERIFY(okA && okB);
    QCOMPARE(m_mouse->registerValue(kRegPicTime), quint8(19));
    QCOMPARE(second.registerValue(kRegPicTime), quint8(69));
    // Both busy runs were absorbed by resends to their own mouse: three writes more each.
    QCOMPARE(m_mouse->appliedWrites().size(), 23);
    QCOMPARE(second.appliedWrites().size(), 23);
    for (const auto& c : second.commands())
        QVERIFY(c.data.isEmpty() || quint8(c.data[0]) >= 50);
}

QTEST_GUILESS_MAIN(TestFarrantNordicTransport)
#include "tst_farrantnordictransport.moc"
