// The simulated register mouse is the oracle the register family's driver tests run against, so it is
// checked here on its own, through the real HID layer on the simulated bus.

#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "hid/khid/KUSBDevice.h"
#include "sim/mouse/register/SimRegisterMouse.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(SimMacroEvent)

using namespace FarrantNordic;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// The host end of the command collection, as the driver holds it.
class CommandLink
{
public:
    bool open(quint16 productId)
    {
        return m_device.initDevice(DeviceIds::kVendorId, productId, kCommandUsage, kCommandUsagePage, 0);
    }

    bool send(quint8 address, quint8 command, int length, quint32 reg, const QByteArray& data = QByteArray())
    {
        QByteArray packet(kPacketSize, '\0');
        packet[kPacketAddressByte] = char(address);
        packet[kPacketCommandByte] = char(command);
        packet[kPacketLengthByte] = char(length);
        for (int i = 0; i < 4; ++i)
            packet[kPacketRegisterByte + i] = char(reg >> (8 * i));
        packet.replace(kPacketDataByte, data.size(), data);
        return m_device.sendOutputReport(kReportId, reinterpret_cast<const quint8*>(packet.constData()),
                                         kPacketSize);
    }

    // The first 32 bytes of input report 0xBA, status first; empty when the transfer failed.
    QByteArray reply()
    {
        QByteArray out(kPacketSize, '\0');
        if (!m_device.readInputReport(kReportId, reinterpret_cast<quint8*>(out.data()), quint32(out.size())))
            return QByteArray();
        return out;
    }

    KHID::KUSBDevice& device() { return m_device; }

private:
    KHID::KUSBDevice m_device;
};

} // namespace

class TestSimRegisterMouse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void usbShape_data();
    void usbShape();
    void commands_data();
    void commands();
    void writesDecode();
    void factoryReset_data();
    void factoryReset();
    void replyMachine_data();
    void replyMachine();
    void failureInjection();
    void gameModeAndStatusReport_data();
    void gameModeAndStatusReport();
    void modelFactoryState_data();
    void modelFactoryState();
    void macroPages();

private:
    void plugMouse(quint16 productId, quint8 address);

    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimRegisterMouse> m_mouse;
    std::unique_ptr<CommandLink> m_link;
};

void TestSimRegisterMouse::init()
{
    m_bus = std::make_unique<SimBusFixture>();
    plugMouse(DeviceIds::kJarrowNordic, kAddressWired);
}

void TestSimRegisterMouse::cleanup()
{
    m_link.reset();
    m_mouse.reset();
    m_bus.reset();
}

void TestSimRegisterMouse::plugMouse(quint16 productId, quint8 address)
{
    m_link.reset();
    m_mouse.reset();
    m_mouse = std::make_unique<SimRegisterMouse>(productId, address);
    QVERIFY(m_mouse->plug(m_bus->bus()));
    m_link = std::make_unique<CommandLink>();
    QVERIFY(m_link->open(productId));
}

void TestSimRegisterMouse::usbShape_data()
{
    QTest::addColumn<quint16>("productId");
    QTest::addColumn<quint8>("address");
    QTest::addColumn<quint16>("interruptUsage");
    QTest::addColumn<QString>("interruptPart");
    QTest::addColumn<int>("interruptId");

    QTest::newRow("wired") << DeviceIds::kJarrowNordic << kAddressWired << quint16(1) << QStringLiteral("col05")
                           << int(kWiredInterruptReportId);
    QTest::newRow("receiver") << DeviceIds::kJarrowNordicWireless << kAddressReceiver
                              << kReceiverInterruptUsage << QStringLiteral("col03")
                              << int(kReceiverInterruptReportId);
}

void TestSimRegisterMouse::usbShape()
{
    QFETCH(quint16, productId);
    QFETCH(quint8, address);
    QFETCH(quint16, interruptUsage);
    QFETCH(QString, interruptPart);
    QFETCH(int, interruptId);
    plugMouse(productId, address);

    const KHID::KHidDetail command = m_link->device().deviceDetail();
    QCOMPARE(command.capabilities.usagePage, kCommandUsagePage);
    QCOMPARE(command.capabilities.usage, kCommandUsage);
    QCOMPARE(int(command.capabilities.outputReportByteLength), kPacketSize + 1);
    QCOMPARE(int(command.capabilities.inputReportByteLength), kPacketSize + 1);
    QCOMPARE(command.devicePath, m_mouse->commandPath());

    // The interrupt source as the reader thread finds it: by path part when wired, by usage through the receiver.
    KHID::KUSBDevice reader;
    if (address == kAddressWired)
        QVERIFY(reader.initDevice(DeviceIds::kVendorId, productId, interruptUsage, kInterruptUsagePage,
                                  QString::fromLatin1(kWiredInterruptPathPart)));
    else
        QVERIFY(reader.initDevice(DeviceIds::kVendorId, productId, interruptUsage, kInterruptUsagePage, 0));
    QCOMPARE(reader.deviceDetail().devicePath, m_mouse->interruptPath());
    QVERIFY2(reader.deviceDetail().devicePath.contains(interruptPart), qPrintable(reader.deviceDetail().devicePath));

    m_mouse->pushStatusReport(0, 0x0810, 77);
    quint8 buffer[64] = {};
    KHID::DWORD got = 0;
    QVERIFY(reader.readData(buffer, sizeof buffer, &got, 1000));
    QCOMPARE(int(got), kInterruptReportSize);
    QCOMPARE(int(buffer[0]), interruptId);
    QCOMPARE(int(buffer[kInterruptModeByte]), 0);
    QCOMPARE(int(buffer[kInterruptDpiByte]), 0x10);
    QCOMPARE(int(buffer[kInterruptDpiByte + 1]), 0x08);
    QCOMPARE(int(buffer[kInterruptBatteryByte]), 77);
    QVERIFY(m_mouse->commands().isEmpty());
}

void TestSimRegisterMouse::commands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("length");
    QTest::addColumn<quint32>("reg");
    QTest::addColumn<QByteArray>("replyHead");  // status and the bytes after it

    QTest::newRow("version 1.05") << int(kCmdVersion) << 0 << 0u << bytes({1, 0x05, 0x01});
    QTest::newRow("game mode, off") << int(kCmdGetGameMode) << 0 << 0u << bytes({1, 0});
    QTest::newRow("battery D5 02") << int(kCmdBattery) << 0 << 0u << bytes({1, 0xD5, 0x02, 0, 0});
    QTest::newRow("read stage word") << int(kCmdReadRegister) << 4 << quint32(kRegDpiIndex)
                                     << bytes({1, 0, 0, 0, 1, 4, 2, 9});
    QTest::newRow("read picture memory") << int(kCmdReadRegister) << 24 << quint32(kRegPicture) << bytes({1});
    QTest::newRow("read 29 bytes") << int(kCmdReadRegister) << 29 << quint32(kRegDpiIndex) << bytes({2});
    QTest::newRow("read past the picture") << int(kCmdReadRegister) << 4 << quint32(kRegPicture + kPictureSize - 2)
                                           << bytes({2});
    QTest::newRow("unknown command") << 0xB0 << 0 << 0u << bytes({2});
}

void TestSimRegisterMouse::commands()
{
    QFETCH(int, command);
    QFETCH(int, length);
    QFETCH(quint32, reg);
    QFETCH(QByteArray, replyHead);

    m_mouse->setFirmwareVersion(0x01, 0x05);
    m_mouse->setBatteryReading(725);
    QVERIFY(m_link->send(kAddressWired, quint8(command), length, reg));
    QCOMPARE(m_link->reply().left(replyHead.size()), replyHead);
    QCOMPARE(m_mouse->commands().size(), 1);
    QCOMPARE(int(m_mouse->commands().first().address), int(kAddressWired));
}

void TestSimRegisterMouse::writesDecode()
{
    // Stages, highest index and a zero fill: one 16-byte block.
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, kDpiListLength, kRegDpiStages,
                         bytes({8, 0, 16, 0, 32, 0, 64, 0, 128, 0, 2, 0, 4, 0, 4, 0})));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusOk));
    QCOMPARE(m_mouse->dpiStages(), (QList<int>{400, 800, 1600, 3200, 6400, 100, 200}));
    QCOMPARE(m_mouse->dpiHighestIndex(), 4);
    QCOMPARE(m_mouse->dpiIndex(), 1);  // the next word is untouched

    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, kRegPicIndex, bytes({0, 3, 1, 1})));
    QCOMPARE(m_mouse->pictureIndex(), 9);
    QVERIFY(m_mouse->powerSaving());
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, kRegZoneColour + 8, bytes({10, 20, 30, 0xFF})));
    QCOMPARE(m_mouse->zoneColour(2), (SimRegisterMouse::Colour{10, 20, 30, 0xFF}));
    QCOMPARE(m_mouse->zoneColour(0), (SimRegisterMouse::Colour{0, 0, 0, 0xFF}));
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, kRegReportRate, bytes({2, 0, 0, 0})));
    QCOMPARE(m_mouse->reportRateChoice(), 2);

    // A picture chunk lands in the picture memory, and reads back.
    const QByteArray chunk(kPictureChunk, char(0x5A));
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, kPictureChunk, kRegPicture + kPictureChunk, chunk));
    QCOMPARE(m_mouse->picture().mid(kPictureChunk, kPictureChunk), chunk);
    QCOMPARE(m_mouse->picture().left(kPictureChunk), QByteArray(kPictureChunk, '\0'));
    QVERIFY(m_link->send(kAddressWired, kCmdReadRegister, 4, kRegPicture + kPictureChunk));
    QCOMPARE(m_link->reply().mid(kReplyDataByte, 4), QByteArray(4, char(0x5A)));

    const QList<SimRegisterMouse::Command> writes = m_mouse->appliedWrites();
    QCOMPARE(writes.size(), 5);
    QCOMPARE(writes.first().reg, quint32(kRegDpiStages));
    QCOMPARE(writes.first().data.size(), kDpiListLength);
}

void TestSimRegisterMouse::factoryReset_data()
{
    QTest::addColumn<quint16>("productId");
    QTest::addColumn<quint8>("address");
    QTest::newRow("wired FF") << DeviceIds::kJarrowNordic << kAddressWired;
    QTest::newRow("receiver A5") << DeviceIds::kJarrowNordicWireless << kAddressReceiver;
}

void TestSimRegisterMouse::factoryReset()
{
    QFETCH(quint16, productId);
    QFETCH(quint8, address);
    plugMouse(productId, address);

    m_mouse->setRegister(kRegOled, 42);
    // Wrong keys and the other address byte are refused.
    QVERIFY(m_link->send(address, kCmdFactoryReset, kResetKey1, 0));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusError));
    const quint8 other = address == kAddressWired ? kAddressReceiver : kAddressWired;
    QVERIFY(m_link->send(other, kCmdFactoryReset, kResetKey1, kResetKey2));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusError));
    QCOMPARE(m_mouse->oledIntensity(), 42);

    QVERIFY(m_link->send(address, kCmdFactoryReset, kResetKey1, kResetKey2));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusOk));
    QCOMPARE(m_mouse->oledIntensity(), 100);
    QCOMPARE(m_mouse->factoryResets(), 1);
    QCOMPARE(int(m_mouse->commands().last().address), int(address));
}

void TestSimRegisterMouse::replyMachine_data()
{
    QTest::addColumn<int>("busy");
    QTest::addColumn<QList<int>>("script");
    QTest::addColumn<QList<int>>("statuses");  // what the next reads answer

    QTest::newRow("busy four times") << 4 << QList<int>() << QList<int>{0, 0, 0, 0, 1, 1};
    QTest::newRow("error then ok") << 0 << QList<int>{2, 1} << QList<int>{2, 1, 1};
    QTest::newRow("odd status") << 0 << QList<int>{7} << QList<int>{7, 1};
}

void TestSimRegisterMouse::replyMachine()
{
    QFETCH(int, busy);
    QFETCH(QList<int>, script);
    QFETCH(QList<int>, statuses);

    QVERIFY(m_link->send(kAddressWired, kCmdVersion, 0, 0));
    m_mouse->setBusyReplies(busy);
    m_mouse->scriptStatuses(script);
    for (int status : statuses)
        QCOMPARE(int(quint8(m_link->reply()[0])), status);
}

void TestSimRegisterMouse::failureInjection()
{
    // Never ok: commands are taken and not carried out.
    m_mouse->setStuckStatus(kStatusBusy);
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, kRegOled, bytes({50, 0, 0, 0})));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(int(m_link->reply()[0]), int(kStatusBusy));
    QCOMPARE(m_mouse->oledIntensity(), 100);
    m_mouse->setStuckStatus(-1);

    // A fault at one address spares the writes around it.
    m_mouse->failWritesAt(kRegOled + 1, 1);
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, kRegOled, bytes({50, 1, 0, 0})));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusError));
    QCOMPARE(m_mouse->oledIntensity(), 100);
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, kRegOled, bytes({50, 1, 0, 0})));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusOk));
    QCOMPARE(m_mouse->oledIntensity(), 50);
    QCOMPARE(m_mouse->pressMacroCode(), 1);

    // Commands fail after some pass; out-of-space writes never land.
    m_mouse->failCommands(1, kStatusError, 1);
    QVERIFY(m_link->send(kAddressWired, kCmdGetGameMode, 0, 0));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusOk));
    QVERIFY(m_link->send(kAddressWired, kCmdGetGameMode, 0, 0));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusError));
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, SimRegister::kMemorySize - 2, bytes({1, 2, 3, 4})));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusError));
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 26, kRegOled, QByteArray(25, '\1')));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusError));
    QCOMPARE(m_mouse->appliedWrites().size(), 1);

    // A report id the collection does not have fails the host's write.
    const quint8 payload[4] = {};
    QVERIFY(!m_link->device().sendOutputReport(0xBB, payload, sizeof payload));
}

void TestSimRegisterMouse::gameModeAndStatusReport_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("on") << 1;
    QTest::newRow("off") << 0;
}

void TestSimRegisterMouse::gameModeAndStatusReport()
{
    QFETCH(int, mode);

    QVERIFY(m_link->send(kAddressWired, kCmdSetGameMode, mode, 0));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusOk));
    QCOMPARE(int(m_mouse->gameMode()), mode);
    QVERIFY(m_link->send(kAddressWired, kCmdGetGameMode, 0, 0));
    QCOMPARE(int(m_link->reply()[kReplyValueByte]), mode);

    // Each command records whether it came in game mode.
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, kRegPicTime, bytes({7, 0, 0, 0})));
    QCOMPARE(m_mouse->commands().last().inGameMode, mode == 1);

    // The mouse leaving game mode on its own says so in its status report.
    m_mouse->pushStatusReport(0, 0x20, 50);
    QCOMPARE(int(m_mouse->gameMode()), 0);
    const QByteArray report = m_mouse->statusReport(0, 0x1234, 50);
    QCOMPARE(int(quint8(report[kInterruptDpiByte])), 0x34);
    QCOMPARE(int(quint8(report[kInterruptDpiByte + 1])), 0x12);
}

// Each model leaves the factory with its own key table, DPI block and power-saving sense.
void TestSimRegisterMouse::modelFactoryState_data()
{
    QTest::addColumn<quint16>("productId");
    QTest::addColumn<quint8>("address");
    QTest::addColumn<QList<int>>("stages");
    QTest::addColumn<int>("key6");   // what button 6 (DPI-) does, as text
    QTest::addColumn<bool>("powerSavingAtFactory");

    const QList<int> seven = {400, 800, 1600, 2400, 3200, 4800, 6400};
    const QList<int> five = {400, 800, 1600, 2400, 3200};
    QTest::newRow("root") << DeviceIds::kJarrowNordic << kAddressWired << seven << 0 << false;
    QTest::newRow("maldon wireless") << DeviceIds::kKelhamNordicWireless << kAddressReceiver << seven << 1 << false;
    QTest::newRow("kelham") << DeviceIds::kKelham << kAddressWired << seven << 2 << false;
    QTest::newRow("kelham wireless") << DeviceIds::kKelhamWireless << kAddressReceiver << seven << 2 << true;
    QTest::newRow("yarrin") << DeviceIds::kYarrin << kAddressWired << five << 0 << false;
    QTest::newRow("gadsby wireless") << DeviceIds::kGadsbyWireless << kAddressReceiver << five << 0 << false;
}

void TestSimRegisterMouse::modelFactoryState()
{
    QFETCH(quint16, productId);
    QFETCH(quint8, address);
    QFETCH(QList<int>, stages);
    QFETCH(int, key6);
    QFETCH(bool, powerSavingAtFactory);
    plugMouse(productId, address);

    QCOMPARE(m_mouse->dpiStages(), stages);
    QCOMPARE(m_mouse->dpiHighestIndex(), stages.size() - 1);
    const SimMouseButton expected[] = {SimMouseButton::dpi(SimMouseButton::DpiDown), SimMouseButton::key(0),
                                       SimMouseButton::fire()};
    QCOMPARE(m_mouse->buttonFunction(6), expected[key6]);
    QCOMPARE(m_mouse->buttonFunction(0), SimMouseButton::buttons(SimMouseButton::Left));
    QCOMPARE(m_mouse->buttonFunction(11), SimMouseButton::roller());
    QCOMPARE(m_mouse->buttonFunction(13).kind(), SimMouseButton::Kind::Unknown);
    QCOMPARE(m_mouse->powerSaving(), powerSavingAtFactory);
}

// Macro pages from 0x1000 for the buttons and from 0x10000 for the press macros, written like any register.
void TestSimRegisterMouse::macroPages()
{
    const QByteArray record = bytes({0x0A, 0, 0xFF, 0xFF, 0x65, 0, 0x04, 0, 0, 0x04});
    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, record.size(), 0x13000, record));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusOk));
    const SimMacroRecord page = m_mouse->macroPage(1003);
    QVERIFY2(page.valid, qPrintable(page.toString()));
    QCOMPARE(page.playType, int(SimMacroRecord::WhileHeld));
    QCOMPARE(page.events, (QList<SimMacroEvent>{SimMacroEvent::key(4, true, 50), SimMacroEvent::key(4, false)}));

    QCOMPARE(SimRegisterMouse::macroPageAddress(3), quint32(0x4000));
    QVERIFY(!m_mouse->macroPage(0).valid);  // an empty page holds no record
    QVERIFY(!m_mouse->macroPage(11).valid);
    QVERIFY(!m_mouse->macroPage(1004).valid);

    QVERIFY(m_link->send(kAddressWired, kCmdWriteRegister, 4, 0x600, bytes({5, 0, 3, 0})));
    QCOMPARE(int(m_link->reply()[0]), int(kStatusOk));
    QCOMPARE(m_mouse->buttonFunction(0), SimMouseButton::macro(3));
}

QTEST_GUILESS_MAIN(TestSimRegisterMouse)
#include "tst_simregistermouse.moc"
