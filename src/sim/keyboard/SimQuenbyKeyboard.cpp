#include "sim/keyboard/SimQuenbyKeyboard.h"

#include "sim/bus/SimBus.h"

#include <QMutexLocker>

using namespace SimQuenby;

namespace {

constexpr quint16 kUsagePageGenericDesktop = 0x01;
constexpr quint16 kUsageKeyboard = 0x06;
constexpr quint16 kUsagePageCommand = 0xFF1C;
constexpr quint16 kUsagePageInterrupt = 0xFF01;
constexpr quint16 kUsageVendor = 0x92;
constexpr quint16 kBootInputLength = 9;   // modifiers, reserved, six usages + id byte
constexpr quint16 kBootOutputLength = 2;  // LED byte + id byte
constexpr int kVendorInterface = 1;
constexpr int kBootInterface = 0;
constexpr int kCommandCollection = 0;
constexpr int kInterruptCollection = 1;

const QString kProductName = QStringLiteral("ZEPHRA Gaming Keyboard");

} // namespace

SimQuenbyKeyboard::SimQuenbyKeyboard(quint16 productId)
    : SimCommandFirmware({StatusDone, StatusBusy, StatusError, kReplyStatusByte, kCommandReportId, kReportSize,
                          kReportSize})
    , m_productId(productId)
{
    resetMemoryLocked();
}

SimQuenbyKeyboard::~SimQuenbyKeyboard()
{
    unplug();
}

// --- on the bus -------------------------------------------------------------------------------------------

SimDevice SimQuenbyKeyboard::bootKeyboardInterface(quint16 productId)
{
    SimDevice device = describe(productId, quint16(kDefaultVersionMajor << 8 | kDefaultVersionMinor), kProductName);
    device.interfaceNumber = kBootInterface;
    device.collections << SimCollection::make(kUsagePageGenericDesktop, kUsageKeyboard, kBootInputLength,
                                              kBootOutputLength, 0);
    return device;
}

SimDevice SimQuenbyKeyboard::vendorInterface(quint16 productId)
{
    SimDevice device = bootKeyboardInterface(productId);
    device.interfaceNumber = kVendorInterface;
    device.collections.clear();
    device.collections << SimCollection::make(kUsagePageCommand, kUsageVendor, kReportSize, kReportSize, 0)
                       << SimCollection::make(kUsagePageInterrupt, kUsageVendor, kReportSize, 0, 0);
    return device;
}

bool SimQuenbyKeyboard::plug(SimBus* bus)
{
    return plugInterfaces(bus, {{bootKeyboardInterface(m_productId), {nullptr}},
                                {vendorInterface(m_productId), {this, &m_interrupt}}});
}

QString SimQuenbyKeyboard::commandPath() const
{
    return collectionPath(kCommandCollection);
}

QString SimQuenbyKeyboard::interruptPath() const
{
    return collectionPath(kInterruptCollection);
}

// --- factory state ----------------------------------------------------------------------------------------

void SimQuenbyKeyboard::resetMemoryLocked()
{
    m_memory = QByteArray(kStorageSize, '\0');
    auto put = [this](quint32 address, quint8 value) { m_memory[int(address - kStorageBase)] = char(value); };

    put(kRegLightMode, kDefaultLightMode);
    put(kRegLightBrightness, kDefaultBrightness);
    put(kRegLightSpeed, kDefaultSpeed);
    put(kRegLightModeCopy, kDefaultLightMode);
    put(kRegLightBrightnessCopy, kDefaultBrightness);
    put(kRegLightSpeedCopy, kDefaultSpeed);
    // A keyboard on its cable runs in its own mode; 0-3 would announce the wireless mode at every opening.
    put(kRegModeSelect, 4);
    m_workMode = 0;
    if (isRgb()) {
        put(kRgbRegLightMode, kRgbDefaultLightMode);
        put(kRgbRegLightBrightness, kDefaultBrightness);
        put(kRgbRegLightSpeed, kDefaultSpeed);
        for (int i = 0; i < 3; ++i)
            put(kRgbRegColor + quint32(i), kRgbDefaultColor[i]);
    }

    for (int position = 0; position < kKeyPositions; ++position) {
        const QByteArray code = defaultKeyFunctionAt(position).encode();
        m_memory.replace(int(kRegKeyTable - kStorageBase) + position * kKeyCodeSize, kKeyCodeSize, code);
        if (kKeyAtPosition[position] != kEmpty)
            put(kRegKeyBrightness + position, kDefaultBrightnessPerKey);
    }
    if (!isRgb())
        return;
    for (int position = 0; position < kKeyPositions; ++position) {
        const QByteArray code = defaultRgbKeyFunctionAt(position).encode();
        m_memory.replace(int(kRgbRegKeyTable - kStorageBase) + position * kKeyCodeSize, kKeyCodeSize, code);
        if (rgbKeyAtPosition(position) != kEmpty) {
            for (int i = 0; i < 3; ++i)
                put(kRgbRegKeyColor + quint32(position * 3 + i), kRgbDefaultKeyColor);
        }
    }
}

void SimQuenbyKeyboard::resetToDefaults()
{
    QMutexLocker lock(&m_mutex);
    resetMemoryLocked();
    m_versionMajor = kDefaultVersionMajor;
    m_versionMinor = kDefaultVersionMinor;
    resetRepliesLocked();
}

void SimQuenbyKeyboard::setFirmwareVersion(quint8 major, quint8 minor)
{
    QMutexLocker lock(&m_mutex);
    m_versionMajor = major;
    m_versionMinor = minor;
}

SimKeyFunction SimQuenbyKeyboard::defaultKeyFunctionAt(int position)
{
    if (position < 0 || position >= kKeyPositions)
        return SimKeyFunction::none();
    if (position == kFnPosition)
        return SimKeyFunction::fn();
    return SimKeyFunction::key(kDefaultUsage[position]);
}

SimKeyFunction SimQuenbyKeyboard::defaultRgbKeyFunctionAt(int position)
{
    switch (position) {
    case kRgbFnPosition: return SimKeyFunction::fn();
    case kRgbMutePosition: return SimKeyFunction::consumer(kConsumerMute);
    case kRgbWinLockPosition: return SimKeyFunction::winLock();
    case kRgbWorkModePosition: return SimKeyFunction::workMode();
    default: break;
    }
    if (rgbKeyAtPosition(position) == kEmpty)
        return SimKeyFunction::none();
    return SimKeyFunction::key(kRgbDefaultUsage[position]);
}

// --- memory -----------------------------------------------------------------------------------------------

bool SimQuenbyKeyboard::inMemory(quint32 address, int length) const
{
    // The RGB model also keeps its macro records at the bottom of its address space.
    if (isMacroArea(address, length))
        return true;
    return length >= 0 && address >= kMemoryBase && address <= kMemoryEnd
        && quint64(address) + quint64(length) <= kMemoryEnd;
}

bool SimQuenbyKeyboard::isMacroArea(quint32 address, int length) const
{
    return isRgb() && length >= 0 && quint64(address) + quint64(length) <= kRgbMacroEnd;
}

quint32 SimQuenbyKeyboard::keyTableAddress() const
{
    return isRgb() ? kRgbRegKeyTable : kRegKeyTable;
}

int SimQuenbyKeyboard::macroSlots() const
{
    return isRgb() ? kRgbMacroSlots : kMacroSlots;
}

int SimQuenbyKeyboard::positionOfKey(int key) const
{
    return isRgb() ? rgbPositionOfKey(key) : SimQuenby::positionOfKey(key);
}

quint8 SimQuenbyKeyboard::workMode() const
{
    QMutexLocker lock(&m_mutex);
    return m_workMode;
}

void SimQuenbyKeyboard::setWorkMode(quint8 mode)
{
    QMutexLocker lock(&m_mutex);
    m_workMode = mode;
}

quint8 SimQuenbyKeyboard::registerValue(quint32 address) const
{
    const QByteArray bytes = memory(address, 1);
    return quint8(bytes[0]);
}

QByteArray SimQuenbyKeyboard::memory(quint32 address, int length) const
{
    QMutexLocker lock(&m_mutex);
    QByteArray bytes(qMax(0, length), '\0');
    for (int i = 0; i < bytes.size(); ++i) {
        const quint64 at = quint64(address) + quint64(i);
        if (at < kMemoryEnd)
            bytes[i] = m_memory[int(at - kStorageBase)];
    }
    return bytes;
}

void SimQuenbyKeyboard::setMemory(quint32 address, const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    for (int i = 0; i < bytes.size(); ++i) {
        const quint64 at = quint64(address) + quint64(i);
        if (at < kMemoryEnd)
            m_memory[int(at - kStorageBase)] = bytes[i];
    }
}

void SimQuenbyKeyboard::setRegister(quint32 address, quint8 value)
{
    setMemory(address, QByteArray(1, char(value)));
}

QByteArray SimQuenbyKeyboard::keyTable() const
{
    return memory(keyTableAddress(), kKeyTableSize);
}

SimKeyFunction SimQuenbyKeyboard::keyFunctionAt(int position) const
{
    if (position < 0 || position >= kKeyPositions)
        return SimKeyFunction::decode(QByteArray());
    return SimKeyFunction::decode(memory(keyTableAddress() + quint32(position) * kKeyCodeSize, kKeyCodeSize));
}

SimKeyFunction SimQuenbyKeyboard::keyFunctionOfKey(int key) const
{
    return keyFunctionAt(positionOfKey(key));
}

QMap<int, SimKeyFunction> SimQuenbyKeyboard::keyFunctions() const
{
    return decodeKeyTable(keyTable(), isRgb());
}

QMap<int, SimKeyFunction> SimQuenbyKeyboard::decodeKeyTable(const QByteArray& table, bool rgb)
{
    QMap<int, SimKeyFunction> functions;
    for (int position = 0; position < kKeyPositions; ++position) {
        const int key = rgb ? rgbKeyAtPosition(position) : kKeyAtPosition[position];
        if (key == kEmpty)
            continue;
        functions.insert(key, SimKeyFunction::decode(table.mid(position * kKeyCodeSize, kKeyCodeSize)));
    }
    return functions;
}

void SimQuenbyKeyboard::setKeyFunctionAt(int position, const SimKeyFunction& function)
{
    if (position < 0 || position >= kKeyPositions)
        return;
    setMemory(keyTableAddress() + quint32(position) * kKeyCodeSize, function.encode());
}

QByteArray SimQuenbyKeyboard::keyColorAt(int position) const
{
    if (!isRgb() || rgbKeyAtPosition(position) == kEmpty)
        return QByteArray();
    return memory(kRgbRegKeyColor + quint32(position * 3), 3);
}

QByteArray SimQuenbyKeyboard::keyColorOfKey(int key) const
{
    return keyColorAt(positionOfKey(key));
}

quint8 SimQuenbyKeyboard::keyBrightnessAt(int position) const
{
    if (position < 0 || position >= kKeyPositions)
        return 0;
    return registerValue(kRegKeyBrightness + quint32(position));
}

QByteArray SimQuenbyKeyboard::macroRecord(int slot) const
{
    if (slot < 0 || slot >= macroSlots())
        return QByteArray();
    const quint32 base = isRgb() ? 0 : kRegMacroRecords;
    return memory(base + quint32(slot) * kMacroRecordSize, kMacroRecordSize);
}

SimMacroRecord SimQuenbyKeyboard::decodeMacro(int slot) const
{
    if (slot < 0 || slot >= macroSlots()) {
        SimMacroRecord invalid;
        invalid.error = QStringLiteral("no macro slot %1").arg(slot);
        return invalid;
    }
    return SimMacroRecord::decode(macroRecord(slot), kMacroRecordSize,
                                  isRgb() ? SimMacroRecord::MoveFormat::FullSizeRgb
                                          : SimMacroRecord::MoveFormat::Nibbles);
}

// --- interrupt collection ---------------------------------------------------------------------------------

QByteArray SimQuenbyKeyboard::stateReportLocked(quint8 kind) const
{
    QByteArray report(kReportSize, '\0');
    report[0] = char(kInterruptReportId);
    report[1] = char(kind);
    for (int i = kStateReportFirstByte; i <= kStateReportLastByte; ++i)
        report[i] = m_memory[int(kStateReportBase + quint32(i) - kStorageBase)];
    return report;
}

QByteArray SimQuenbyKeyboard::stateReport(quint8 kind) const
{
    QMutexLocker lock(&m_mutex);
    return stateReportLocked(kind);
}

void SimQuenbyKeyboard::pushStateReport(quint8 kind)
{
    pushInterruptReport(stateReport(kind));
}

void SimQuenbyKeyboard::changeLightsOnKeyboard(quint8 modeRaw, quint8 brightness, quint8 speedRaw, quint8 logo)
{
    QByteArray report;
    {
        QMutexLocker lock(&m_mutex);
        const bool ownMode = quint8(m_memory[int(kRegModeSelect - kStorageBase)]) == 4;
        const quint32 bank = ownMode ? kRegLightMode : kRegLightModeCopy;
        m_memory[int(bank - kStorageBase)] = char(modeRaw);
        m_memory[int(bank + 1 - kStorageBase)] = char(brightness);
        m_memory[int(bank + 2 - kStorageBase)] = char(speedRaw);
        m_memory[int(kRegLogoMode - kStorageBase)] = char(logo);
        report = stateReportLocked(0);
    }
    pushInterruptReport(report);
}

void SimQuenbyKeyboard::pushInterruptReport(const QByteArray& report)
{
    // Never called with m_mutex held: the bus takes its own locks to deliver.
    m_interrupt.pushInputReport(report);
}

// --- command collection -----------------------------------------------------------------------------------

quint8 SimQuenbyKeyboard::settleLocked(Command& command)
{
    if (command.address != kDeviceAddress)
        return StatusError;

    switch (command.command) {
    case CommandVersion:
        return StatusDone;
    case CommandSetWorkMode:
    case CommandGetWorkMode:
        return isRgb() ? StatusDone : StatusError;
    case CommandRead:
        if (command.length < 1 || command.length > kMaxReadLength || !inMemory(command.reg, command.length)
            || command.saveFlag || command.zeroByte)
            return StatusError;
        return StatusDone;
    case CommandWrite:
        if (command.length < 1 || command.length > kMaxWriteLength || !inMemory(command.reg, command.length)
            || command.zeroByte)
            return StatusError;
        // The RGB model stores a macro record only when the packet asks for it to be saved, and takes the
        // flag on nothing else.
        if (command.saveFlag != (isMacroArea(command.reg, command.length) ? kRgbSaveFlag : 0))
            return StatusError;
        return takeWriteFaultLocked(command.reg, command.length) ? StatusError : StatusDone;
    default:
        return StatusError;
    }
}

void SimQuenbyKeyboard::applyLocked(const Command& command, QByteArray& reply)
{
    switch (command.command) {
    case CommandVersion:
        reply[kReplyVersionMinorByte] = char(m_versionMinor);
        reply[kReplyVersionMajorByte] = char(m_versionMajor);
        break;
    case CommandGetWorkMode:
        reply[kReplyWorkModeByte] = char(m_workMode);
        break;
    case CommandSetWorkMode:
        m_workMode = quint8(command.length);
        break;
    case CommandRead:
        reply.replace(kReplyDataByte, command.length, m_memory.mid(int(command.reg - kStorageBase), command.length));
        break;
    case CommandWrite:
        m_memory.replace(int(command.reg - kStorageBase), command.length, command.data);
        break;
    default:
        break;
    }
}

bool SimQuenbyKeyboard::onOutput(const QByteArray& report)
{
    Command command;
    QByteArray packet;
    // Any other report id is not one of this collection's reports: the host's write fails.
    if (!decodePacket(report, kPacketSize, &command, &packet))
        return false;
    if (isRgb()) {
        // A two-byte register, then a zero byte and the save flag.
        command.reg = quint32(quint8(packet[kPacketRegisterByte]) | quint8(packet[kPacketRegisterByte + 1]) << 8);
        command.zeroByte = quint8(packet[kRgbPacketZeroByte]);
        command.saveFlag = quint8(packet[kRgbPacketSaveFlagByte]);
    }
    receive(command);
    return true;
}
