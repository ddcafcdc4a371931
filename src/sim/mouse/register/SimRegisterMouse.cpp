#include "sim/mouse/register/SimRegisterMouse.h"

#include "sim/bus/SimBus.h"

#include <QMutexLocker>

using namespace SimRegister;

namespace {

constexpr quint16 kUsagePageGenericDesktop = 0x01;
constexpr quint16 kUsagePageConsumer = 0x0C;
constexpr quint16 kUsageMouse = 0x02;
constexpr quint16 kUsageKeyboard = 0x06;
constexpr quint16 kUsageConsumerControl = 0x01;
constexpr quint16 kMouseInputLength = 8;
constexpr quint16 kKeyboardInputLength = 9;
constexpr quint16 kConsumerInputLength = 3;
constexpr quint16 kCommandReportLength = kPacketSize + 1;
constexpr quint16 kInterruptReportLength = kInterruptReportSize;

// Collections in interface order.
constexpr int kWiredCommandCollection = 3;
constexpr int kWiredInterruptCollection = 4;  // the fifth: "col05"
constexpr int kReceiverCommandCollection = 1;
constexpr int kReceiverInterruptCollection = 2;

const QString kProductName = QStringLiteral("Gaming Mouse");

} // namespace

SimRegisterMouse::SimRegisterMouse(quint16 productId, quint8 addressByte)
    : SimCommandFirmware({kStatusOk, kStatusBusy, kStatusError, kReplyStatusByte, kReportId, kPacketSize,
                          kCommandReportLength})
    , m_productId(productId)
    , m_addressByte(addressByte)
    , m_traits(traitsOf(productId))
{
    resetMemoryLocked();
}

SimRegisterMouse::~SimRegisterMouse()
{
    unplug();
}

// --- on the bus -------------------------------------------------------------------------------------------

SimDevice SimRegisterMouse::interfaceOf(quint16 productId, bool throughReceiver)
{
    SimDevice device = describe(productId, 0x0100, kProductName);
    const SimCollection mouse = SimCollection::make(kUsagePageGenericDesktop, kUsageMouse, kMouseInputLength, 0, 0);
    const SimCollection command =
        SimCollection::make(kCommandUsagePage, kCommandUsage, kCommandReportLength, kCommandReportLength, 0);
    if (throughReceiver) {
        device.collections << mouse << command
                           << SimCollection::make(kInterruptUsagePage, kReceiverInterruptUsage,
                                                  kInterruptReportLength, 0, 0);
    } else {
        device.collections << mouse
                           << SimCollection::make(kUsagePageGenericDesktop, kUsageKeyboard, kKeyboardInputLength,
                                                  0, 0)
                           << SimCollection::make(kUsagePageConsumer, kUsageConsumerControl, kConsumerInputLength,
                                                  0, 0)
                           << command
                           << SimCollection::make(kInterruptUsagePage, kWiredInterruptUsage, kInterruptReportLength,
                                                  0, 0);
    }
    return device;
}

bool SimRegisterMouse::plug(SimBus* bus)
{
    QList<SimResponder*> responders;
    if (throughReceiver())
        responders << nullptr << this << &m_interrupt;
    else
        responders << nullptr << nullptr << nullptr << this << &m_interrupt;
    return plugInterfaces(bus, {{interfaceOf(m_productId, throughReceiver()), responders}});
}

int SimRegisterMouse::interruptCollection() const
{
    return throughReceiver() ? kReceiverInterruptCollection : kWiredInterruptCollection;
}

QString SimRegisterMouse::commandPath() const
{
    return collectionPath(throughReceiver() ? kReceiverCommandCollection : kWiredCommandCollection);
}

QString SimRegisterMouse::interruptPath() const
{
    return collectionPath(interruptCollection());
}

// --- factory state ----------------------------------------------------------------------------------------

void SimRegisterMouse::resetMemoryLocked()
{
    m_memory = QByteArray(int(kMemorySize), '\0');
    m_picture = QByteArray(kPictureSize, '\0');
    auto put = [this](quint32 address, int value) { m_memory[int(address)] = char(quint8(value)); };

    put(kRegReportRate, kFactoryReportInterval);
    put(kRegConfig + 1, 1);  // operating mode 0
    for (int i = 0; i < kKeyTableSize; ++i)
        put(kRegKeyTable + quint32(i), m_traits.keys->factoryCodes[i]);
    if (m_traits.dpi == DpiBlock::FiveCodes) {
        for (int i = 0; i < kFiveStages; ++i)
            put(kRegDpiStages + 2 * quint32(i), kFactoryStageCodes[i]);
        put(kRegDpiHighestIndex, kFiveStages - 1);
    } else {
        for (int i = 0; i < kDpiStages; ++i) {
            const int units = kFactoryStages[i] / kDpiUnit;
            put(kRegDpiStages + 2 * quint32(i), units & 0xFF);
            put(kRegDpiStages + 2 * quint32(i) + 1, units >> 8);
        }
        put(kRegDpiHighestIndex, kDpiStages - 1);
    }
    put(kRegDpiIndex, kFactoryStage);
    put(kRegDpiIndex + 1, kFactoryLightMode);
    put(kRegDpiIndex + 2, kFactoryLightSpeedCode);
    put(kRegDpiIndex + 3, kFactoryBrightness);
    put(kRegOled, kFactoryOledIntensity);
    put(kRegPicCount, kPictureCount);
    for (int i = 0; i < kPictureCount; ++i)
        put(kRegPicTable + quint32(i), i);
    put(kRegPicIndex + 1, kFactoryPicture);
    put(kRegPicTime, kFactoryPicTime);
    for (int zone = 0; zone < kZones; ++zone)
        put(kRegZoneColour + quint32(zone) * kWordSize + 3, 0xFF);
}

void SimRegisterMouse::resetToDefaults()
{
    QMutexLocker lock(&m_mutex);
    resetMemoryLocked();
    m_versionMajor = 1;
    m_versionMinor = 0;
    m_gameMode = 0;
    m_factoryResets = 0;
    resetRepliesLocked();
}

void SimRegisterMouse::setFirmwareVersion(quint8 major, quint8 minor)
{
    QMutexLocker lock(&m_mutex);
    m_versionMajor = major;
    m_versionMinor = minor;
}

void SimRegisterMouse::setBatteryReading(quint32 reading) { setLocked(m_batteryReading, reading); }
quint8 SimRegisterMouse::gameMode() const { return locked(m_gameMode); }
void SimRegisterMouse::setGameMode(quint8 mode) { setLocked(m_gameMode, mode); }
int SimRegisterMouse::factoryResets() const { return locked(m_factoryResets); }

// --- memory -----------------------------------------------------------------------------------------------

bool SimRegisterMouse::inMemory(quint32 address, int length)
{
    if (length < 0)
        return false;
    const quint64 end = quint64(address) + quint64(length);
    return end <= kMemorySize || (address >= kRegPicture && end <= quint64(kRegPicture) + kPictureSize);
}

quint8 SimRegisterMouse::byteLocked(quint32 address) const
{
    if (address < kMemorySize)
        return quint8(m_memory[int(address)]);
    if (address >= kRegPicture && address < kRegPicture + quint32(kPictureSize))
        return quint8(m_picture[int(address - kRegPicture)]);
    return 0;
}

quint8 SimRegisterMouse::registerValue(quint32 address) const
{
    QMutexLocker lock(&m_mutex);
    return byteLocked(address);
}

QByteArray SimRegisterMouse::memory(quint32 address, int length) const
{
    QMutexLocker lock(&m_mutex);
    QByteArray bytes(qMax(0, length), '\0');
    for (int i = 0; i < bytes.size(); ++i) {
        const quint64 at = quint64(address) + quint64(i);
        if (at <= 0xFFFFFFFFu)
            bytes[i] = char(byteLocked(quint32(at)));
    }
    return bytes;
}

void SimRegisterMouse::setMemory(quint32 address, const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    for (int i = 0; i < bytes.size(); ++i) {
        const quint64 at = quint64(address) + quint64(i);
        if (at < kMemorySize)
            m_memory[int(at)] = bytes[i];
        else if (at >= kRegPicture && at < quint64(kRegPicture) + kPictureSize)
            m_picture[int(at - kRegPicture)] = bytes[i];
    }
}

void SimRegisterMouse::setRegister(quint32 address, quint8 value)
{
    setMemory(address, QByteArray(1, char(value)));
}

// --- decoded settings -------------------------------------------------------------------------------------

QList<int> SimRegisterMouse::dpiStages() const
{
    const QByteArray block = memory(kRegDpiStages, kDpiStages * 2);
    QList<int> stages;
    if (m_traits.dpi == DpiBlock::FiveCodes) {
        for (int i = 0; i < kFiveStages; ++i)
            stages << stageCodeToDpi(quint8(block[2 * i]));
        return stages;
    }
    for (int i = 0; i < kDpiStages; ++i)
        stages << (quint8(block[2 * i]) | quint8(block[2 * i + 1]) << 8) * kDpiUnit;
    return stages;
}

int SimRegisterMouse::dpiHighestIndex() const { return registerValue(kRegDpiHighestIndex); }
int SimRegisterMouse::dpiIndex() const { return registerValue(kRegDpiIndex); }
int SimRegisterMouse::reportRateChoice() const { return SimRegister::reportRateChoice(registerValue(kRegReportRate)); }
int SimRegisterMouse::lightMode() const { return registerValue(kRegDpiIndex + 1); }
int SimRegisterMouse::lightSpeedCode() const { return registerValue(kRegDpiIndex + 2); }
int SimRegisterMouse::lightBrightness() const { return registerValue(kRegDpiIndex + 3); }
int SimRegisterMouse::oledIntensity() const { return registerValue(kRegOled); }
int SimRegisterMouse::pressMacroCode() const { return registerValue(kRegOled + 1); }
int SimRegisterMouse::definedPressMacro() const { return registerValue(kRegOled + 2); }
bool SimRegisterMouse::powerSaving() const
{
    return registerValue(kRegPicIndex + 3) == (m_traits.power == PowerSense::ZeroIsOn ? 0 : 1);
}
int SimRegisterMouse::operatingMode() const { return int(registerValue(kRegConfig + 1)) - 1; }

int SimRegisterMouse::pictureIndex() const
{
    const QByteArray word = memory(kRegPicIndex, kWordSize);
    return quint8(word[2]) == 1 ? 9 : quint8(word[1]);
}

SimRegisterMouse::Colour SimRegisterMouse::zoneColour(int zone) const
{
    if (zone < 0 || zone >= kZones)
        return Colour();
    const QByteArray word = memory(kRegZoneColour + quint32(zone) * kWordSize, kWordSize);
    return Colour{quint8(word[0]), quint8(word[1]), quint8(word[2]), quint8(word[3])};
}

QByteArray SimRegisterMouse::picture() const
{
    return memory(kRegPicture, kPictureSize);
}

// --- keys and macros ------------------------------------------------------------------------------------

SimMouseButton SimRegisterMouse::entryFunction(int entry) const
{
    if (entry < 0 || entry >= kKeyEntries)
        return SimMouseButton::decode(QByteArray());
    return SimMouseButton::decode(memory(kRegKeyTable + quint32(entry * kKeyCodeSize), kKeyCodeSize));
}

SimMouseButton SimRegisterMouse::buttonFunction(int key) const
{
    for (int entry = 0; entry < kKeyEntries; ++entry) {
        if (m_traits.keys->buttons[entry] == key)
            return entryFunction(entry);
    }
    return SimMouseButton::decode(QByteArray());
}

quint32 SimRegisterMouse::macroPageAddress(int slot)
{
    if (slot >= 0 && slot < kKeyEntries)
        return kRegMacroPages + quint32(slot) * kMacroPageSize;
    if (slot >= kPressMacroFirst && slot < kPressMacroFirst + kPressMacros)
        return kRegPressMacroPages + quint32(slot - kPressMacroFirst) * kMacroPageSize;
    return 0;
}

SimMacroRecord SimRegisterMouse::macroPage(int slot) const
{
    const quint32 address = macroPageAddress(slot);
    if (address == 0) {
        SimMacroRecord none;
        none.error = QStringLiteral("no macro page for slot %1").arg(slot);
        return none;
    }
    return SimMacroRecord::decode(memory(address, int(kMacroPageSize)), int(kMacroPageSize));
}

// --- interrupt source -------------------------------------------------------------------------------------

QByteArray SimRegisterMouse::statusReport(quint8 mode, quint16 dpiRaw, quint8 battery) const
{
    QByteArray report(kInterruptReportSize, '\0');
    report[0] = char(throughReceiver() ? kReceiverInterruptReportId : kWiredInterruptReportId);
    report[kInterruptModeByte] = char(mode);
    report[kInterruptDpiByte] = char(dpiRaw & 0xFF);
    report[kInterruptDpiByte + 1] = char(dpiRaw >> 8);
    report[kInterruptBatteryByte] = char(battery);
    return report;
}

void SimRegisterMouse::pushStatusReport(quint8 mode, quint16 dpiRaw, quint8 battery)
{
    setGameMode(mode);
    pushInterruptReport(statusReport(mode, dpiRaw, battery));
}

void SimRegisterMouse::pushInterruptReport(const QByteArray& report)
{
    // Never called with m_mutex held: the bus takes its own locks to deliver.
    m_interrupt.pushInputReport(report);
}

// --- command collection -----------------------------------------------------------------------------------

void SimRegisterMouse::noteLocked(Command& command)
{
    command.inGameMode = m_gameMode == kGameModeOn;
}

quint8 SimRegisterMouse::settleLocked(Command& command)
{
    if (command.address != m_addressByte)
        return kStatusError;

    switch (command.command) {
    case kCmdSetGameMode:
    case kCmdGetGameMode:
    case kCmdVersion:
    case kCmdBareA7:
    case kCmdBareA8:
    case kCmdQueryA9:
    case kCmdBattery:
        return kStatusOk;
    case kCmdFactoryReset:
        return command.length == kResetKey1 && (command.reg & 0xFF) == kResetKey2 ? kStatusOk : kStatusError;
    case kCmdReadRegister:
        if (command.length < 1 || command.length > kMaxReadLength || !inMemory(command.reg, command.length))
            return kStatusError;
        return kStatusOk;
    case kCmdWriteRegister:
        if (command.length < 1 || command.length > kMaxWriteLength || !inMemory(command.reg, command.length))
            return kStatusError;
        return takeWriteFaultLocked(command.reg, command.length) ? kStatusError : kStatusOk;
    default:
        return kStatusError;
    }
}

void SimRegisterMouse::applyLocked(const Command& command, QByteArray& reply)
{
    switch (command.command) {
    case kCmdSetGameMode:
        m_gameMode = quint8(command.length);
        break;
    case kCmdGetGameMode:
        reply[kReplyValueByte] = char(m_gameMode);
        break;
    case kCmdVersion:
        reply[kReplyValueByte] = char(m_versionMinor);
        reply[kReplyValueByte + 1] = char(m_versionMajor);
        break;
    case kCmdQueryA9:
        reply[kReplyValueByte] = char(m_gameMode);
        break;
    case kCmdBattery:
        for (int i = 0; i < 4; ++i)
            reply[kReplyValueByte + i] = char(quint8(m_batteryReading >> (8 * i)));
        break;
    case kCmdReadRegister:
        for (int i = 0; i < command.length; ++i)
            reply[kReplyDataByte + i] = char(byteLocked(command.reg + quint32(i)));
        break;
    case kCmdWriteRegister:
        for (int i = 0; i < command.data.size(); ++i) {
            const quint32 at = command.reg + quint32(i);
            if (at < kMemorySize)
                m_memory[int(at)] = command.data[i];
            else
                m_picture[int(at - kRegPicture)] = command.data[i];
        }
        break;
    case kCmdFactoryReset:
        resetMemoryLocked();
        ++m_factoryResets;
        break;
    default:
        break;
    }
}

bool SimRegisterMouse::onOutput(const QByteArray& report)
{
    Command command;
    QByteArray packet;
    // Any other report id is not one of this collection's reports: the host's write fails.
    if (!decodePacket(report, kPacketSize, &command, &packet))
        return false;
    receive(command);
    return true;
}
