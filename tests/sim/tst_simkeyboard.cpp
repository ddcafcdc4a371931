// The simulated keyboard is the oracle the driver's tests run against, so it is checked here on its own:
// through the real HID layer on the simulated bus where the USB side matters, directly where only its
// decoding does.

#include "SimBusFixture.h"

#include "common/DeviceIds.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/hid/HidBackend.h"
#include "sim/SimulationSetup.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include <QtTest>

#include <memory>

using namespace SimQuenby;

namespace {

constexpr quint16 kUsageVendor = 0x92;
constexpr quint16 kCommandPage = 0xFF1C;
constexpr quint16 kInterruptPage = 0xFF01;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// The host end of the command collection, as a driver would hold it.
class CommandLink
{
public:
    bool open(quint16 productId = DeviceIds::kKeyboardWired)
    {
        return m_device.initDevice(DeviceIds::kVendorId, productId, kUsageVendor, kCommandPage, 0);
    }

    bool send(quint8 command, int length, quint32 reg, const QByteArray& data = QByteArray(),
              quint8 address = kDeviceAddress)
    {
        QByteArray packet(kPacketSize, '\0');
        packet[kPacketAddressByte] = char(address);
        packet[kPacketCommandByte] = char(command);
        packet[kPacketLengthByte] = char(length);
        for (int i = 0; i < 4; ++i)
            packet[kPacketRegisterByte + i] = char(reg >> (8 * i));
        packet.replace(kPacketDataByte, data.size(), data);
        return m_device.sendOutputReport(kCommandReportId, reinterpret_cast<const quint8*>(packet.constData()),
                                         kPacketSize);
    }

    // The RGB model's packet: a 16-bit register, byte 5 zero, the save flag in byte 6.
    bool sendRgb(quint8 command, int length, quint16 reg, quint8 saveFlag, const QByteArray& data = QByteArray(),
                 quint8 zeroByte = 0)
    {
        return send(command, length, quint32(reg) | quint32(zeroByte) << 16 | quint32(saveFlag) << 24, data);
    }

    // The whole input report, status byte first; empty when the transfer failed.
    QByteArray reply(quint8 reportId = kCommandReportId)
    {
        QByteArray out(kReportSize, '\0');
        if (!m_device.readInputReport(reportId, reinterpret_cast<quint8*>(out.data()), quint32(out.size())))
            return QByteArray();
        return out;
    }

    KHID::KUSBDevice& device() { return m_device; }

private:
    KHID::KUSBDevice m_device;
};

} // namespace

Q_DECLARE_METATYPE(SimKeyFunction)
Q_DECLARE_METATYPE(SimMacroEvent)

class TestSimKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void usbShape();
    void factoryMemory_data();
    void factoryMemory();
    void commands_data();
    void commands();
    void writesChangeMemory();
    void replyMachine_data();
    void replyMachine();
    void failureInjection();
    void foreignReportIds();
    void keyFunctionCodec_data();
    void keyFunctionCodec();
    void macroDecoding_data();
    void macroDecoding();
    void interruptReports_data();
    void interruptReports();
    void replugAfterBusReset();
    void simulationFromEnvironment();
    void rgbFactoryMemory();
    void rgbPackets_data();
    void rgbPackets();
    void rgbMacroDecoding_data();
    void rgbMacroDecoding();

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimQuenbyKeyboard> m_keyboard;
    std::unique_ptr<CommandLink> m_link;
};

void TestSimKeyboard::init()
{
    m_bus = std::make_unique<SimBusFixture>();
    m_keyboard = std::make_unique<SimQuenbyKeyboard>();
    QVERIFY(m_keyboard->plug(m_bus->bus()));
    m_link = std::make_unique<CommandLink>();
    QVERIFY(m_link->open());
}

void TestSimKeyboard::cleanup()
{
    m_link.reset();
    m_keyboard.reset();
    m_bus.reset();
}

void TestSimKeyboard::usbShape()
{
    const KHID::KHidDetail command = m_link->device().deviceDetail();
    QCOMPARE(command.capabilities.usagePage, kCommandPage);
    QCOMPARE(command.capabilities.usage, kUsageVendor);
    QCOMPARE(int(command.capabilities.outputReportByteLength), 65);
    QCOMPARE(int(command.capabilities.inputReportByteLength), 65);
    QCOMPARE(int(command.capabilities.featureReportByteLength), 0);
    QCOMPARE(command.devicePath, m_keyboard->commandPath());
    QVERIFY2(command.devicePath.contains(QLatin1String("pid_5c21&mi_01&col01")), qPrintable(command.devicePath));

    // The interrupt collection the reader opens: same usage, its own page, input only.
    KHID::KUSBDevice interrupt;
    QVERIFY(interrupt.initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWired, kUsageVendor, kInterruptPage, 0));
    QCOMPARE(interrupt.deviceDetail().devicePath, m_keyboard->interruptPath());
    QVERIFY(interrupt.deviceDetail().devicePath.contains(QLatin1String("&mi_01&col02")));
    QCOMPARE(int(interrupt.deviceDetail().capabilities.inputReportByteLength), 65);
    QCOMPARE(int(interrupt.deviceDetail().capabilities.outputReportByteLength), 0);

    // And the ordinary keyboard interface beside them.
    KHID::KUSBDevice boot;
    QVERIFY(boot.initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWired, 0x06, 0x01, 0));
    QVERIFY(boot.deviceDetail().devicePath.contains(QLatin1String("&mi_00#")));

    // Unplugged, the keyboard is gone for the host.
    m_keyboard->unplug();
    QVERIFY(!m_keyboard->isPlugged());
    QVERIFY(!m_link->send(CommandVersion, 0, 0));
    KHID::KUSBDevice again;
    QVERIFY(!again.initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWired, kUsageVendor, kCommandPage, 0));
}

void TestSimKeyboard::factoryMemory_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<SimKeyFunction>("function");
    QTest::addColumn<int>("brightness");

    QTest::newRow("Esc") << 14 << SimKeyFunction::key(0x29) << 250;
    QTest::newRow("left Shift") << 18 << SimKeyFunction::key(0xE1) << 250;
    QTest::newRow("ISO key 26") << 26 << SimKeyFunction::key(0x64) << 250;
    QTest::newRow("ISO key 113") << 113 << SimKeyFunction::key(0x32) << 250;
    QTest::newRow("Fn") << 101 << SimKeyFunction::fn() << 250;
    QTest::newRow("right Ctrl") << 115 << SimKeyFunction::key(0xE4) << 250;
    QTest::newRow("Page up") << 129 << SimKeyFunction::key(0x4B) << 250;
    QTest::newRow("Right arrow") << 139 << SimKeyFunction::key(0x4F) << 250;
    QTest::newRow("Delete") << 128 << SimKeyFunction::key(0x4C) << 250;
}

void TestSimKeyboard::factoryMemory()
{
    QFETCH(int, key);
    QFETCH(SimKeyFunction, function);
    QFETCH(int, brightness);

    const int position = positionOfKey(key);
    QVERIFY(position >= 0);
    QCOMPARE(m_keyboard->keyFunctionOfKey(key), function);
    QCOMPARE(int(m_keyboard->keyBrightnessAt(position)), brightness);

    // Empty matrix cells send nothing and have no light; the light settings start at mode 1, 3, 2.
    for (int p = 0; p < kKeyPositions; ++p) {
        if (kKeyAtPosition[p] == kEmpty) {
            QCOMPARE(m_keyboard->keyFunctionAt(p), SimKeyFunction::none());
            QCOMPARE(int(m_keyboard->keyBrightnessAt(p)), 0);
        }
    }
    // 86 keys: 84 the profiles list, and the two ISO keys.
    const QMap<int, SimKeyFunction> functions = m_keyboard->keyFunctions();
    QCOMPARE(functions.size(), 86);
    QCOMPARE(functions.value(key), function);
    QCOMPARE(SimQuenbyKeyboard::decodeKeyTable(m_keyboard->keyTable()), functions);
    QCOMPARE(m_keyboard->memory(kRegLightMode, 3), bytes({1, 3, 2}));
    QCOMPARE(m_keyboard->memory(kRegLightModeCopy, 3), bytes({1, 3, 2}));
    QCOMPARE(m_keyboard->macroRecord(0), QByteArray(kMacroRecordSize, '\0'));
    QCOMPARE(m_keyboard->macroRecord(kMacroSlots - 1), QByteArray(kMacroRecordSize, '\0'));
}

void TestSimKeyboard::commands_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("length");
    QTest::addColumn<uint>("reg");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("replyHead");  // reply bytes 1.. compared as far as given

    const int ff = kDeviceAddress;
    QTest::newRow("version") << ff << int(CommandVersion) << 0 << 0u << 1 << bytes({0x16, 0x01});
    QTest::newRow("read light block") << ff << int(CommandRead) << 4 << uint(kRegLightMode) << 1
                                      << bytes({0, 0, 0, 1, 3, 2, 0});
    QTest::newRow("read Esc entry") << ff << int(CommandRead) << 4 << uint(kRegKeyTable) << 1
                                    << bytes({0, 0, 0, 0, 0, 0x29, 0});
    QTest::newRow("read 60, the most") << ff << int(CommandRead) << 60 << uint(kRegKeyTable) << 1 << QByteArray();
    QTest::newRow("read last macro byte") << ff << int(CommandRead) << 1 << uint(kMemoryEnd - 1) << 1
                                          << QByteArray();
    QTest::newRow("write 57, the most") << ff << int(CommandWrite) << 57 << uint(kRegMacroRecords) << 1
                                        << QByteArray();

    QTest::newRow("other address byte") << 0x01 << int(CommandRead) << 1 << uint(kRegLightMode) << 2 << QByteArray();
    QTest::newRow("unknown command") << ff << 0xA6 << 1 << uint(kRegLightMode) << 2 << QByteArray();
    QTest::newRow("read nothing") << ff << int(CommandRead) << 0 << uint(kRegLightMode) << 2 << QByteArray();
    QTest::newRow("read 61") << ff << int(CommandRead) << 61 << uint(kRegKeyTable) << 2 << QByteArray();
    QTest::newRow("write 58") << ff << int(CommandWrite) << 58 << uint(kRegKeyTable) << 2 << QByteArray();
    QTest::newRow("below the memory") << ff << int(CommandRead) << 1 << 0x9FFFu << 2 << QByteArray();
    QTest::newRow("across its end") << ff << int(CommandWrite) << 4 << uint(kMemoryEnd - 2) << 2 << QByteArray();
    QTest::newRow("far address") << ff << int(CommandRead) << 4 << 0xFFFFFFFEu << 2 << QByteArray();
}

void TestSimKeyboard::commands()
{
    QFETCH(int, address);
    QFETCH(int, command);
    QFETCH(int, length);
    QFETCH(uint, reg);
    QFETCH(int, status);
    QFETCH(QByteArray, replyHead);

    const QByteArray before = m_keyboard->memory(kMemoryBase, int(kMemoryEnd - kMemoryBase));
    QVERIFY(m_link->send(quint8(command), length, reg, QByteArray(length, '\x5A'), quint8(address)));
    const QByteArray reply = m_link->reply();
    QCOMPARE(reply.size(), kReportSize);
    QCOMPARE(int(quint8(reply[0])), status);
    QCOMPARE(reply.mid(1, replyHead.size()), replyHead);

    // The log keeps the decoded command; a refused one changes nothing.
    const QList<SimQuenbyKeyboard::Command> log = m_keyboard->commands();
    QCOMPARE(log.size(), 1);
    QCOMPARE(int(log[0].command), command);
    QCOMPARE(log[0].reg, quint32(reg));
    QCOMPARE(int(log[0].status), status);
    if (status != StatusDone || command != CommandWrite)
        QCOMPARE(m_keyboard->memory(kMemoryBase, int(kMemoryEnd - kMemoryBase)), before);
}

void TestSimKeyboard::writesChangeMemory()
{
    // A one-byte light write, then a key entry, then a read that sees both.
    QVERIFY(m_link->send(CommandWrite, 1, kRegLightModeCopy, bytes({3})));
    QCOMPARE(int(quint8(m_link->reply()[0])), int(StatusDone));
    QVERIFY(m_link->send(CommandWrite, 4, kRegKeyTable + 4 * 9, bytes({2, 0, 5, 4})));
    QCOMPARE(int(quint8(m_link->reply()[0])), int(StatusDone));
    QCOMPARE(int(m_keyboard->registerValue(kRegLightModeCopy)), 3);
    QCOMPARE(m_keyboard->keyFunctionAt(9),
             SimKeyFunction::combination(SimKeyFunction::Ctrl | SimKeyFunction::Alt, 0x04));

    QVERIFY(m_link->send(CommandRead, 8, kRegKeyTable + 4 * 9));
    QCOMPARE(m_link->reply().mid(kReplyDataByte, 8), bytes({2, 0, 5, 4, 0, 0, 0x14, 0}));

    // The answer stays until the next command: a second status read gives the same data.
    QCOMPARE(m_link->reply().mid(kReplyDataByte, 4), bytes({2, 0, 5, 4}));

    // A whole key table in the 56-byte chunks of a bulk write lands in order.
    QByteArray table;
    for (int p = 0; p < kKeyPositions; ++p)
        table += SimKeyFunction::macro(p % kMacroSlots).encode();
    for (int offset = 0; offset < table.size(); offset += 56) {
        const QByteArray chunk = table.mid(offset, 56);
        QVERIFY(m_link->send(CommandWrite, chunk.size(), kRegKeyTable + quint32(offset), chunk));
        QCOMPARE(int(quint8(m_link->reply()[0])), int(StatusDone));
    }
    QCOMPARE(m_keyboard->keyTable(), table);
    QCOMPARE(m_keyboard->appliedWrites().size(), 2 + 10);
    QCOMPARE(m_keyboard->appliedWrites().last().length, 8);
    QCOMPARE(m_keyboard->appliedWrites().last().reg, kRegKeyTable + 504);
}

void TestSimKeyboard::replyMachine_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QList<int>>("statuses");  // of five status reads after one write
    QTest::addColumn<bool>("applied");

    QTest::newRow("busy twice") << "busy 2" << QList<int>{0, 0, 1, 1, 1} << true;
    QTest::newRow("script busy, invalid, done") << "script" << QList<int>{0, 5, 1, 1, 1} << true;
    QTest::newRow("script error then done") << "script error" << QList<int>{2, 1, 1, 1, 1} << true;
    QTest::newRow("never done") << "stuck 0" << QList<int>{0, 0, 0, 0, 0} << false;
    QTest::newRow("always error") << "stuck 2" << QList<int>{2, 2, 2, 2, 2} << false;
    QTest::newRow("always invalid") << "stuck 5" << QList<int>{5, 5, 5, 5, 5} << false;
}

void TestSimKeyboard::replyMachine()
{
    QFETCH(QString, setup);
    QFETCH(QList<int>, statuses);
    QFETCH(bool, applied);

    if (setup == QLatin1String("busy 2"))
        m_keyboard->setBusyReplies(2);
    else if (setup == QLatin1String("script"))
        m_keyboard->scriptStatuses({0, 5, 1});
    else if (setup == QLatin1String("script error"))
        m_keyboard->scriptStatuses({2});
    else if (setup.startsWith(QLatin1String("stuck ")))
        m_keyboard->setStuckStatus(setup.mid(6).toInt());

    QVERIFY(m_link->send(CommandWrite, 1, kRegLogoMode, bytes({7})));
    QList<int> seen;
    for (int i = 0; i < statuses.size(); ++i)
        seen << quint8(m_link->reply()[0]);
    QCOMPARE(seen, statuses);
    QCOMPARE(m_keyboard->registerValue(kRegLogoMode) == 7, applied);

    // Busy and scripted replies are counted by reads, so sending the packet again does not restart them.
    m_keyboard->clearFaults();
    m_keyboard->setBusyReplies(2);
    QList<int> resent;
    for (int attempt = 0; attempt < 3; ++attempt) {
        QVERIFY(m_link->send(CommandWrite, 1, kRegLogoMode, bytes({8})));
        resent << quint8(m_link->reply()[0]);
    }
    QCOMPARE(resent, (QList<int>{0, 0, 1}));
    QCOMPARE(int(m_keyboard->registerValue(kRegLogoMode)), 8);
}

void TestSimKeyboard::failureInjection()
{
    // Before any command there is nothing to report but an error.
    QCOMPARE(int(quint8(m_link->reply()[0])), int(StatusError));

    // By address: the write touching it fails and stays unwritten, its neighbours go through.
    const quint32 third = kRegKeyTable + 112;
    m_keyboard->failWritesAt(third + 10, 1);
    const QByteArray chunk(56, '\x07');
    QVERIFY(m_link->send(CommandWrite, 56, kRegKeyTable + 56, chunk));
    QCOMPARE(int(quint8(m_link->reply()[0])), int(StatusDone));
    QVERIFY(m_link->send(CommandWrite, 56, third, chunk));
    QCOMPARE(int(quint8(m_link->reply()[0])), int(StatusError));
    QCOMPARE(m_keyboard->keyTable().mid(112, 56), SimQuenbyKeyboard().keyTable().mid(112, 56));
    // Once only: the retry is carried out.
    QVERIFY(m_link->send(CommandWrite, 56, third, chunk));
    QCOMPARE(int(quint8(m_link->reply()[0])), int(StatusDone));
    QCOMPARE(m_keyboard->keyTable().mid(112, 56), chunk);

    // By transaction: skip one, fail the next two with an invalid status, then normal again.
    m_keyboard->clearCommands();
    m_keyboard->failCommands(2, 5, 1);
    QList<int> seen;
    for (int i = 0; i < 4; ++i) {
        QVERIFY(m_link->send(CommandWrite, 1, kRegLightBrightness, bytes({i})));
        seen << quint8(m_link->reply()[0]);
    }
    QCOMPARE(seen, (QList<int>{1, 5, 5, 1}));
    QCOMPARE(int(m_keyboard->registerValue(kRegLightBrightness)), 3);
    QCOMPARE(m_keyboard->appliedWrites().size(), 2);

    // Failed sends come from the bus: nothing reaches the keyboard.
    m_keyboard->clearCommands();
    m_bus->bus()->failNext(m_keyboard->busDeviceId(), SimBus::Fault::Write, 1);
    QVERIFY(!m_link->send(CommandWrite, 1, kRegLightBrightness, bytes({9})));
    QVERIFY(m_keyboard->commands().isEmpty());
}

void TestSimKeyboard::foreignReportIds()
{
    // Only report 4 is the keyboard's command report; another id fails at the transfer.
    QByteArray packet(kPacketSize, '\0');
    packet[kPacketAddressByte] = char(kDeviceAddress);
    packet[kPacketCommandByte] = char(CommandVersion);
    QVERIFY(!m_link->device().sendOutputReport(5, reinterpret_cast<const quint8*>(packet.constData()), kPacketSize));
    QVERIFY(m_keyboard->commands().isEmpty());
    QVERIFY(m_link->reply(3).isEmpty());
}

void TestSimKeyboard::keyFunctionCodec_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<SimKeyFunction>("function");
    QTest::addColumn<bool>("roundTrip");

    using F = SimKeyFunction;
    QTest::newRow("key") << bytes({0, 0, 0x29, 0}) << F::key(0x29) << true;
    QTest::newRow("no function") << bytes({0, 0, 0, 0}) << F::none() << true;
    QTest::newRow("Ctrl+Alt+A") << bytes({2, 0, 5, 4}) << F::combination(F::Ctrl | F::Alt, 0x04) << true;
    QTest::newRow("Win+L") << bytes({2, 0, 8, 0x0F}) << F::combination(F::Win, 0x0F) << true;
    QTest::newRow("left button") << bytes({3, 0, 1, 0}) << F::mouseButton(F::Left) << true;
    QTest::newRow("middle button") << bytes({3, 0, 4, 0}) << F::mouseButton(F::Middle) << true;
    QTest::newRow("play/pause") << bytes({4, 0, 0, 0xCD}) << F::consumer(0xCD) << true;
    QTest::newRow("player") << bytes({4, 0, 1, 0x83}) << F::consumer(0x183) << true;
    QTest::newRow("macro 5") << bytes({5, 0, 5, 0}) << F::macro(5) << true;
    QTest::newRow("disabled") << bytes({7, 0, 0, 0}) << F::disabled() << true;
    QTest::newRow("Fn") << bytes({0xA0, 0, 1, 0}) << F::fn() << true;
    QTest::newRow("WinLock") << bytes({0xA0, 0, 4, 0}) << F::winLock() << true;
    QTest::newRow("WorkMode") << bytes({0xA0, 0, 0x10, 0}) << F::workMode() << true;

    // What the firmware does not understand stays visible as such.
    const auto unknown = [](const QByteArray& code) { return SimKeyFunction::decode(code); };
    QTest::newRow("parameter 1 set") << bytes({0, 1, 4, 0}) << unknown(bytes({0, 1, 4, 0})) << true;
    QTest::newRow("key with parameter 2") << bytes({0, 0, 4, 9}) << unknown(bytes({0, 0, 4, 9})) << true;
    QTest::newRow("Fn layer 2") << bytes({0xA0, 0, 2, 0}) << unknown(bytes({0xA0, 0, 2, 0})) << true;
    QTest::newRow("type 9") << bytes({9, 0, 0, 0}) << unknown(bytes({9, 0, 0, 0})) << true;
    QTest::newRow("short") << bytes({0, 0, 4}) << unknown(bytes({0, 0, 4})) << false;
}

void TestSimKeyboard::keyFunctionCodec()
{
    QFETCH(QByteArray, code);
    QFETCH(SimKeyFunction, function);
    QFETCH(bool, roundTrip);

    const SimKeyFunction decoded = SimKeyFunction::decode(code);
    QCOMPARE(decoded, function);
    if (roundTrip)
        QCOMPARE(decoded.encode(), code);
    if (function.kind() == SimKeyFunction::Kind::Unknown)
        QVERIFY(decoded != SimKeyFunction::none());
}

void TestSimKeyboard::macroDecoding_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("playType");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QList<SimMacroEvent>>("events");

    using E = SimMacroEvent;
    QTest::newRow("press and release with delays")
        << bytes({0x0A, 0, 3, 0, 0x33, 0, 0x04, 0x50, 0, 0x04}) << true << 1 << 3
        << QList<E>{E::key(0x04, true, 25), E::key(0x04, false, 40)};

    // Key down, move right 5 and up 3 (the wire holds -dy), button, key up, a final move with its 1 ms.
    QTest::newRow("keys, moves and a button")
        << bytes({22 + 6, 0, 0xFF, 0xFF,
                  0x01, 0, 0x05,                      // B down
                  0x00, 0, 0xF7, 0x00, 0x05, 0x03,    // move 5, -3
                  0x65, 0, 0xF0,                      // left button down, 50 ms
                  0x00, 0, 0xF0,                      // left button up
                  0x00, 0, 0x05,                      // B up
                  0x03, 0, 0xF7, 0xFF, 0xFF, 0xFE})   // move -1, 2 (wire -2), 1 ms
        << true << 3 << 0
        << QList<E>{E::key(0x05, true), E::move(5, -3), E::mouseButton(E::Left, true, 50),
                    E::mouseButton(E::Left, false), E::key(0x05, false), E::move(-1, 2, 1)};

    QTest::newRow("12-bit deltas")
        << bytes({4 + 6 + 6, 0, 0xFE, 0xFF,
                  0x00, 0, 0xF7, 0x78, 0xFF, 0x00,    // dx 2047, wire dy -2048 -> dy 2048
                  0x03, 0, 0xF7, 0xF8, 0x38, 0x00})   // dx -200, wire dy -2048
        << true << 2 << 0 << QList<E>{E::move(2047, 2048), E::move(-200, 2048, 1)};
    QTest::newRow("middle and right")
        << bytes({10, 0, 1, 0, 0x01, 0, 0xF2, 0x00, 0, 0xF1}) << true << 1 << 1
        << QList<E>{E::mouseButton(E::Middle, true), E::mouseButton(E::Right, false)};
    QTest::newRow("empty macro") << bytes({4, 0, 1, 0}) << true << 1 << 1 << QList<E>();

    // Records the firmware cannot play to the end.
    QTest::newRow("never written") << QByteArray(512, '\0') << false << 1 << 0 << QList<E>();
    QTest::newRow("end past the record") << bytes({0x01, 0x02, 1, 0}) << false << 1 << 1 << QList<E>();
    QTest::newRow("event cut") << bytes({9, 0, 1, 0, 0x01, 0, 0x04, 0x00, 0}) << false << 1 << 1 << QList<E>();
    QTest::newRow("move cut") << bytes({9, 0, 1, 0, 0x00, 0, 0xF7, 0x00, 0x05, 0x03}) << false << 1 << 1
                              << QList<E>();
    // An event placed with a gap before it: the gap reads as an empty event.
    QTest::newRow("gap after a move")
        << bytes({19, 0, 1, 0, 0x00, 0, 0xF7, 0x00, 0x05, 0x03, 0x01, 0, 0x04, 0, 0, 0, 0x00, 0, 0x04})
        << false << 1 << 1 << QList<E>();
}

void TestSimKeyboard::macroDecoding()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, valid);
    QFETCH(int, playType);
    QFETCH(int, repeat);
    QFETCH(QList<SimMacroEvent>, events);

    // Through the keyboard's memory, as a driver's write leaves it.
    m_keyboard->setMemory(kRegMacroRecords + 3 * kMacroRecordSize, record);
    const SimMacroRecord decoded = m_keyboard->decodeMacro(3);
    QVERIFY2(decoded.valid == valid, qPrintable(decoded.toString()));
    if (!valid) {
        QVERIFY(!decoded.error.isEmpty());
        return;
    }
    QCOMPARE(decoded.endOffset, int(quint8(record[0]) | quint8(record[1]) << 8));
    QCOMPARE(decoded.playType, playType);
    QCOMPARE(decoded.repeatCount, repeat);
    QCOMPARE(decoded.events, events);
}

void TestSimKeyboard::interruptReports_data()
{
    QTest::addColumn<int>("modeSelect");
    QTest::addColumn<QByteArray>("head");  // report bytes 0-14

    // With the keyboard's own mode (4) its first bank changes, otherwise the program's copies.
    QTest::newRow("own mode") << 4 << bytes({6, 0, 3, 2, 1, 0, 4, 0, 1, 3, 2, 0, 0, 0, 1});
    QTest::newRow("program mode") << 0 << bytes({6, 0, 1, 3, 2, 0, 0, 0, 3, 2, 1, 0, 0, 0, 1});
}

void TestSimKeyboard::interruptReports()
{
    QFETCH(int, modeSelect);
    QFETCH(QByteArray, head);

    KHID::KUSBDevice reader;
    QVERIFY(reader.initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWired, kUsageVendor, kInterruptPage, 0));

    m_keyboard->setRegister(kRegModeSelect, quint8(modeSelect));
    m_keyboard->changeLightsOnKeyboard(3, 2, 1, 1);

    quint8 buffer[128] = {};
    KHID::DWORD got = 0;
    QVERIFY(reader.readData(buffer, sizeof buffer, &got, 1000));
    QCOMPARE(int(got), kReportSize);
    const QByteArray report(reinterpret_cast<const char*>(buffer), int(got));
    QCOMPARE(report.left(head.size()), head);
    QCOMPARE(report.mid(head.size()), QByteArray(kReportSize - head.size(), '\0'));

    // The kind byte the program skips, and raw reports of any shape.
    m_keyboard->pushStateReport(1);
    QVERIFY(reader.readData(buffer, sizeof buffer, &got, 1000));
    QCOMPARE(int(buffer[1]), 1);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(buffer), 15).mid(2), head.mid(2));

    m_keyboard->pushInterruptReport(bytes({6, 0, 9}));
    QVERIFY(reader.readData(buffer, sizeof buffer, &got, 1000));
    QCOMPARE(int(buffer[2]), 9);

    // Nothing goes to the command collection.
    QVERIFY(m_keyboard->commands().isEmpty());
}

void TestSimKeyboard::replugAfterBusReset()
{
    // A bus reset unplugs the keyboard behind its back; it notices and can be plugged again.
    m_link.reset();
    m_bus->bus()->reset();
    QVERIFY(!m_keyboard->isPlugged());
    QVERIFY(m_keyboard->commandPath().isEmpty());
    QVERIFY(m_keyboard->plug(m_bus->bus()));
    QVERIFY(!m_keyboard->plug(m_bus->bus()));
    QCOMPARE(m_bus->bus()->deviceIds().size(), 2);
    CommandLink link;
    QVERIFY(link.open());
    QVERIFY(link.send(CommandVersion, 0, 0));
    QCOMPARE(link.reply().left(3), bytes({1, 0x16, 0x01}));
}

void TestSimKeyboard::simulationFromEnvironment()
{
    cleanup();
    KHID::HidBackend* const previous = KHID::hidBackend();
    SimBus::instance()->reset();

    // Nothing asked, or nothing this build can simulate: the real backend stays.
    qunsetenv("CORVANE_SIMULATE");
    QVERIFY(!setupSimulationFromEnvironment());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no simulated device of type \"MOUSE\"")));
    QVERIFY(!setupSimulation(QStringLiteral("MOUSE")));
    QCOMPARE(KHID::hidBackend(), previous);

    qputenv("CORVANE_SIMULATE", "ZEPHRA");
    QVERIFY(setupSimulationFromEnvironment());
    QCOMPARE(KHID::hidBackend(), static_cast<KHID::HidBackend*>(SimBus::instance()));
    {
        CommandLink link;
        QVERIFY(link.open());
        QVERIFY(link.send(CommandRead, 1, kRegLightBrightness));
        QCOMPARE(link.reply().mid(kReplyDataByte, 1), bytes({3}));
    }
    // Asking again plugs nothing twice; the wireless id can be simulated beside it.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no simulated device of type \"x\"")));
    QVERIFY(setupSimulation(QStringLiteral("zephra, ZEPHRA_WIRELESS;x")));
    QCOMPARE(SimBus::instance()->deviceIds().size(), 4);
    KHID::KUSBDevice wireless;
    QVERIFY(wireless.initDevice(DeviceIds::kVendorId, DeviceIds::kKeyboardWireless, kUsageVendor, kCommandPage, 0));

    qunsetenv("CORVANE_SIMULATE");
    SimBus::instance()->reset();
    KHID::setHidBackend(previous);
}

// The RGB model's factory tables at its own addresses, decoded with its own matrix.
void TestSimKeyboard::rgbFactoryMemory()
{
    SimQuenbyKeyboard rgb(DeviceIds::kRgbKeyboard);
    using F = SimKeyFunction;
    const QMap<int, SimKeyFunction> functions = rgb.keyFunctions();
    QCOMPARE(functions.size(), 110);
    QCOMPARE(functions.value(14), F::key(0x29));             // Esc
    QCOMPARE(functions.value(20), F::key(0x53));             // NumLock
    QCOMPARE(functions.value(101), F::fn());
    QCOMPARE(functions.value(109), F::consumer(0xE2));       // Mute
    QCOMPARE(functions.value(117), F::winLock());
    QCOMPARE(functions.value(125), F::workMode());
    QCOMPARE(functions.value(140), F::key(0x58));            // keypad Enter
    QVERIFY(!functions.contains(21) && !functions.contains(114));
    // Its factory light: the first effect, brightness 3, speed 2 (stored as 4 - 2), direction and single colour
    // off, the colour magenta, and every key's own colour off, as the model's factory profile holds them.
    QCOMPARE(rgb.memory(kRgbRegLightMode, 8), bytes({0, 3, 2, 0, 0, 0xFF, 0, 0xFF}));
    QCOMPARE(rgb.keyColorOfKey(14), bytes({0, 0, 0}));
    QCOMPARE(rgb.keyColorOfKey(140), bytes({0, 0, 0}));
    QVERIFY(rgb.keyColorOfKey(21).isEmpty());
    // The wired keyboard keeps its own matrix: Fn sits at its own position there.
    QCOMPARE(m_keyboard->keyFunctionOfKey(101), F::fn());
}

void TestSimKeyboard::rgbPackets_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("saveFlag");
    QTest::addColumn<int>("zeroByte");
    QTest::addColumn<int>("status");

    QTest::newRow("macro chunk with the save flag") << int(CommandWrite) << 0x400 << 0xFF << 0 << int(StatusDone);
    QTest::newRow("macro chunk of record 30") << int(CommandWrite) << 29 * 512 + 56 << 0xFF << 0 << int(StatusDone);
    QTest::newRow("macro chunk without it") << int(CommandWrite) << 0x400 << 0 << 0 << int(StatusError);
    QTest::newRow("save flag on a register") << int(CommandWrite) << int(kRgbRegLightMode) << 0xFF << 0
                                             << int(StatusError);
    QTest::newRow("register") << int(CommandWrite) << int(kRgbRegLightMode) << 0 << 0 << int(StatusDone);
    QTest::newRow("byte 5 set") << int(CommandWrite) << int(kRgbRegLightMode) << 0 << 1 << int(StatusError);
    QTest::newRow("past the macro records") << int(CommandWrite) << 30 * 512 << 0xFF << 0 << int(StatusError);
    QTest::newRow("read with the save flag") << int(CommandRead) << int(kRgbRegKeyTable) << 0xFF << 0
                                             << int(StatusError);
}

void TestSimKeyboard::rgbPackets()
{
    QFETCH(int, command);
    QFETCH(int, reg);
    QFETCH(int, saveFlag);
    QFETCH(int, zeroByte);
    QFETCH(int, status);

    SimQuenbyKeyboard rgb(DeviceIds::kRgbKeyboard);
    QVERIFY(rgb.plug(m_bus->bus()));
    CommandLink link;
    QVERIFY(link.open(DeviceIds::kRgbKeyboard));
    const QByteArray data = bytes({1, 2, 3});
    QVERIFY(link.sendRgb(quint8(command), 3, quint16(reg), quint8(saveFlag), data, quint8(zeroByte)));
    QCOMPARE(int(quint8(link.reply().at(0))), status);
    const SimQuenbyKeyboard::Command logged = rgb.commands().last();
    QCOMPARE(int(logged.reg), reg);
    QCOMPARE(int(logged.saveFlag), saveFlag);
    if (command == CommandWrite)
        QCOMPARE(rgb.memory(quint32(reg), 3) == data, status == StatusDone);
}

void TestSimKeyboard::rgbMacroDecoding_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QList<SimMacroEvent>>("events");

    using E = SimMacroEvent;
    // Byte 3 of a move: bit 0 set, bits 1-3 the wire dy's high bits, bits 4-7 dx's high nibble.
    QTest::newRow("moves back to back")
        << bytes({4 + 6 + 6 + 3, 0, 1, 0,
                  0x00, 0, 0xF7, 0x0F, 0x05, 0xFD,    // move 5, 3 (wire -3)
                  0x00, 0, 0xF7, 0xF1, 0xF9, 0x02,    // move -7, -2
                  0x01, 0, 0x04})                     // A down
        << true << QList<E>{E::move(5, 3), E::move(-7, -2), E::key(0x04, true)};
    QTest::newRow("vertical beyond one byte")
        << bytes({4 + 6, 0, 1, 0, 0x03, 0, 0xF7, 0x03, 0x00, 0x2C})   // wire dy 300, dy -300
        << true << QList<E>{E::move(0, -300, 1)};
    QTest::newRow("move without its marker bit")
        << bytes({4 + 6, 0, 1, 0, 0x03, 0, 0xF7, 0x00, 0x05, 0x03}) << false << QList<E>();
}

void TestSimKeyboard::rgbMacroDecoding()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, valid);
    QFETCH(QList<SimMacroEvent>, events);

    SimQuenbyKeyboard rgb(DeviceIds::kRgbKeyboard);
    rgb.setMemory(29 * kMacroRecordSize, record);
    const SimMacroRecord decoded = rgb.decodeMacro(29);
    QVERIFY2(decoded.valid == valid, qPrintable(decoded.toString()));
    if (valid)
        QCOMPARE(decoded.events, events);
    QVERIFY(!rgb.decodeMacro(30).valid);
}

QTEST_GUILESS_MAIN(TestSimKeyboard)
#include "tst_simkeyboard.moc"
