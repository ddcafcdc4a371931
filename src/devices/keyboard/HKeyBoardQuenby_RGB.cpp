#include "devices/keyboard/HKeyBoardQuenby_RGB.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aMacroRecord.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "hid/DeviceResultWait.h"
#include "hid/khid/KUSBDevice.h"
#include "models/device/FKeyLightModelItem.h"
#include "models/device/KLightModelItem.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QMutexLocker>

#include <memory>

using namespace Quenby8a;

namespace {

// Reading the work mode and up to three writes of it, each with its retries, and the wait for the shared
// transaction mutex.
constexpr int kWorkModeTimeoutMs = 10000;

// The HID usage each position sends from the factory; 0 at the empty positions and at the four positions
// with a code of their own (kSpecialCodes).
constexpr quint8 kFactoryUsage[kKeyPositions] = {
    0x29, 0x35, 0x2B, 0x39, 0xE1, 0xE0, 0x53, 0,    0x3A, 0x1E, 0x14, 0x04, 0x64, 0xE3, 0x54, 0,
    0x3B, 0x1F, 0x1A, 0x16, 0x1D, 0xE2, 0x55, 0,    0x3C, 0x20, 0x08, 0x07, 0x1B, 0,    0x56, 0,
    0x3D, 0x21, 0x15, 0x09, 0x06, 0,    0x5F, 0,    0x3E, 0x22, 0x17, 0x0A, 0x19, 0x2C, 0x60, 0,
    0x3F, 0x23, 0x1C, 0x0B, 0x05, 0,    0x61, 0,    0x40, 0x24, 0x18, 0x0D, 0x11, 0,    0x5C, 0,
    0x41, 0x25, 0x0C, 0x0E, 0x10, 0,    0x5D, 0,    0x42, 0x26, 0x12, 0x0F, 0x36, 0xE6, 0x5E, 0,
    0x43, 0x27, 0x13, 0x33, 0x37, 0xE7, 0x57, 0,    0x44, 0x2D, 0x2F, 0x34, 0x38, 0x65, 0x5A, 0,
    0x45, 0x2E, 0x30, 0x32, 0,    0xE4, 0x5B, 0,    0x46, 0x2A, 0x31, 0x28, 0xE5, 0x50, 0x62, 0,
    0x47, 0x49, 0x4C, 0x4B, 0x52, 0x51, 0x63, 0,    0x48, 0x4A, 0x4D, 0x4E, 0x59, 0x4F, 0x58, 0,
};

struct SpecialCode {
    int position;
    KKeyCode code;
};
constexpr SpecialCode kSpecialCodes[] = {
    {87, KKeyCode(KKeyCode::kKeyboardFn, 0x01)},          // Fn
    {95, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xE2)},   // Mute
    {103, KKeyCode(KKeyCode::kKeyboardFn, 0x04)},         // WinLock
    {111, KKeyCode(KKeyCode::kKeyboardFn, 0x10)},         // WorkMode
};

// Red, green and blue of a colour map (a missing component counts 0); false when one does not fit a byte.
bool colorBytes(const QMap<QString, int>& rgb, QByteArray* out)
{
    const int components[] = {rgb.value(QStringLiteral("r"), 0), rgb.value(QStringLiteral("g"), 0),
                              rgb.value(QStringLiteral("b"), 0)};
    QByteArray bytes;
    for (int component : components) {
        if (!Rgb::fitsRegister(component))
            return false;
        bytes.append(char(quint8(component)));
    }
    *out = bytes;
    return true;
}

KKeyCode factoryCode(int position)
{
    for (const SpecialCode& special : kSpecialCodes) {
        if (special.position == position)
            return special.code;
    }
    if (Rgb::keyAtPosition(position) < 0)
        return KKeyCode();
    return KKeyCode(KKeyCode::kKeyboard, kFactoryUsage[position]);
}

} // namespace

HKeyBoardQuenby_RGB::HKeyBoardQuenby_RGB(QObject* parent)
    : FDeviceQuenby_8a(DeviceIds::kRgbKeyboard, Rgb::kMacroSlots, parent)
    , m_keyTable(kKeyPositions)
{
    initKeyMatrix(m_keyTable.data());
}

void HKeyBoardQuenby_RGB::initKeyMatrix(KKeyCode* table)
{
    for (int position = 0; position < kKeyPositions; ++position)
        table[position] = factoryCode(position);
}

QVector<KKeyCode> HKeyBoardQuenby_RGB::keyTableCache() const
{
    QMutexLocker lock(&m_stateLock);
    return m_keyTable;
}

HKeyBoardQuenby_RGB::~HKeyBoardQuenby_RGB() = default;

// --- opening ------------------------------------------------------------------------------------------------

bool HKeyBoardQuenby_RGB::initDevice()
{
    // As the base: the channel is reopened only while no operation holds it.
    if (!m_operationLock.tryLock()) {
        if (!m_channel || !m_channel->isOpened()) {
            qWarning() << "[ERROR] init device: the device is busy, try again";
            return false;
        }
        opened = true;
    } else {
        opened = openChannel();
        m_operationLock.unlock();
        qDebug() << "[Info] init device:" << opened;
        if (!opened)
            return false;
    }

    // The switch to the program's work mode runs on the pool while the GUI thread waits, for a bounded time;
    // a failure (or no answer in time) is shown, the device stays open.
    auto switched = std::make_shared<bool>(false);
    DeviceResultWait wait(this, kWorkModeTimeoutMs);
    work.run([this] { return enterGameMode(); },
             [switched, done = wait.finisher()](bool ok) {
                 *switched = ok;
                 done();
             });
    if (!wait.wait() || !*switched)
        AppServices::instance()->startWarning(AppServices::WarningDeviceConnect);
    return opened;
}

bool HKeyBoardQuenby_RGB::enterGameMode()
{
    if (getGameMode() == -1)
        return false;
    for (int attempt = 0; attempt < Rgb::kWorkModeTries; ++attempt) {
        if (m_workMode == Rgb::kProgramWorkMode)
            break;
        if (!setGameMode(Rgb::kProgramWorkMode)) {
            qDebug() << "[ERROR] enter gameMode error";
            if (attempt + 1 == Rgb::kWorkModeTries)
                return false;
        }
    }
    return true;
}

int HKeyBoardQuenby_RGB::getGameMode()
{
    QMutexLocker op(&m_operationLock);
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize + 1] = {};
    m_transport.buildCommand(packet, Rgb::kCmdGetWorkMode, 0, 0);
    if (!m_transport.readCommand(packet, reply, kPacketSize, kReportId))
        return -1;
    m_workMode = reply[Rgb::kReplyWorkMode];
    return m_workMode;
}

bool HKeyBoardQuenby_RGB::setGameMode(const int& mode)
{
    QMutexLocker op(&m_operationLock);
    quint8 packet[kPacketSize] = {};
    m_transport.buildCommand(packet, Rgb::kCmdSetWorkMode, quint8(mode), 0);
    if (!m_transport.writeCommand(packet, kPacketSize, kReportId))
        return false;
    m_workMode = mode;
    return true;
}

// --- lights -------------------------------------------------------------------------------------------------

int HKeyBoardQuenby_RGB::readRgbRegister(quint32 address, int length)
{
    QMutexLocker op(&m_operationLock);
    const QByteArray data = m_transport.readRegister(address, length);
    return data.isEmpty() ? -1 : quint8(data.at(0));
}

bool HKeyBoardQuenby_RGB::writeRgbRegister(quint32 address, const QByteArray& data)
{
    QMutexLocker op(&m_operationLock);
    return m_transport.writeRegister(address, data);
}

int HKeyBoardQuenby_RGB::getLightModel(int)
{
    return readRgbRegister(Rgb::kRegLightMode, Rgb::kLightReadLength);
}

int HKeyBoardQuenby_RGB::getLightSpeed(int)
{
    const int raw = readRgbRegister(Rgb::kRegSpeed, 1);
    return raw < 0 ? -1 : speedFromDevice(quint8(raw));
}

int HKeyBoardQuenby_RGB::getLightBrightness(int)
{
    return readRgbRegister(Rgb::kRegBrightness, 1);
}

bool HKeyBoardQuenby_RGB::getLightDirection()
{
    return readRgbRegister(Rgb::kRegDirection, Rgb::kLightReadLength) > 0;
}

bool HKeyBoardQuenby_RGB::getLightMonochromatic()
{
    return readRgbRegister(Rgb::kRegMonochrome, Rgb::kLightReadLength) > 0;
}

QMap<QString, int> HKeyBoardQuenby_RGB::getRGB(int)
{
    // One read returns the monochrome register and the colour behind it; the colour is what is asked for,
    // whatever the monochrome switch says.
    QByteArray data;
    {
        QMutexLocker op(&m_operationLock);
        data = m_transport.readRegister(Rgb::kRegMonochrome, Rgb::kLightReadLength);
    }
    QMap<QString, int> color;
    if (data.size() < Rgb::kLightReadLength)
        return color;
    color.insert(QStringLiteral("r"), quint8(data.at(1)));
    color.insert(QStringLiteral("g"), quint8(data.at(2)));
    color.insert(QStringLiteral("b"), quint8(data.at(3)));
    return color;
}

bool HKeyBoardQuenby_RGB::setLightModel(const int& mode, int)
{
    if (!Rgb::fitsRegister(mode))
        return false;
    return writeRgbRegister(Rgb::kRegLightMode, QByteArray(1, char(quint8(mode))));
}

bool HKeyBoardQuenby_RGB::setLightSpeed(const int& speed, int)
{
    if (!Rgb::validSpeed(speed))
        return false;
    return writeRgbRegister(Rgb::kRegSpeed, QByteArray(1, char(speedToDevice(speed))));
}

bool HKeyBoardQuenby_RGB::setLightBrightness(const int& brightness, int)
{
    if (!Rgb::fitsRegister(brightness))
        return false;
    return writeRgbRegister(Rgb::kRegBrightness, QByteArray(1, char(quint8(brightness))));
}

bool HKeyBoardQuenby_RGB::setRGB(const QMap<QString, int>& color, int)
{
    QByteArray bytes;
    if (!color.contains(QStringLiteral("r")) || !color.contains(QStringLiteral("g"))
        || !color.contains(QStringLiteral("b")) || !colorBytes(color, &bytes)) {
        qDebug() << "[ERROR] setRGB";
        return false;
    }
    return writeRgbRegister(Rgb::kRegColor, bytes);
}

bool HKeyBoardQuenby_RGB::setLightDirection(bool on)
{
    return writeRgbRegister(Rgb::kRegDirection, QByteArray(1, char(on ? Rgb::kSwitchOn : Rgb::kSwitchOff)));
}

bool HKeyBoardQuenby_RGB::setMonochromaticMode(bool on)
{
    return writeRgbRegister(Rgb::kRegMonochrome, QByteArray(1, char(on ? Rgb::kSwitchOn : Rgb::kSwitchOff)));
}

bool HKeyBoardQuenby_RGB::setLogoLightMode(const int&, int)
{
    qDebug() << "[ERROR] setLogoLightMode: this keyboard has no logo light";
    return false;
}

H_KEYLIGHT HKeyBoardQuenby_RGB::getKeyBrightness()
{
    return H_KEYLIGHT();
}

bool HKeyBoardQuenby_RGB::setKeyBrightness(const KKey&, const int&)
{
    qDebug() << "[ERROR] setKeyBrightness: this keyboard sets key colours, not key brightness";
    return false;
}

// --- per-key colour -----------------------------------------------------------------------------------------

H_KEYLIGHT HKeyBoardQuenby_RGB::getKeyColor()
{
    QByteArray table;
    {
        QMutexLocker op(&m_operationLock);
        table = m_transport.readBulk(Rgb::kRegKeyColor, Rgb::kKeyColorSize);
    }
    H_KEYLIGHT out;
    if (table.size() != Rgb::kKeyColorSize) {
        qDebug() << "getKEY error";
        return out;
    }
    for (int position = 0; position < kKeyPositions; ++position) {
        const int key = Rgb::keyAtPosition(position);
        if (!Rgb::isMappedKey(key))
            continue;
        const int at = position * Rgb::kColorBytes;
        // Six lower-case hexadecimal digits, no "#".
        const QString text = KLightModelItem::colorValueToText(quint8(table.at(at)), quint8(table.at(at + 1)),
                                                               quint8(table.at(at + 2)))
                                 .mid(1);
        FKeyLightModelItem item;
        item.setKey(key);
        item.setColor(text);
        out.insert(KKey(key), item);
    }
    return out;
}

bool HKeyBoardQuenby_RGB::setKeyRGB(const KKey& key, const QMap<QString, int>& rgb, const int&, const int&)
{
    const int position = Rgb::positionOfKey(int(key));
    if (position < 0)
        return false;
    QByteArray bytes;
    if (!colorBytes(rgb, &bytes))
        return false;
    const bool ok = writeRgbRegister(Rgb::kRegKeyColor + quint32(position * Rgb::kColorBytes), bytes);
    qDebug() << (ok ? "setKeyRGB: writeCmd success" : "setKeyRGB: writeCmd error");
    return ok;
}

bool HKeyBoardQuenby_RGB::writeKeyColorTable(const QByteArray& table)
{
    if (table.size() != Rgb::kKeyColorSize)
        return false;
    QMutexLocker op(&m_operationLock);
    return m_transport.writeBulk(Rgb::kRegKeyColor, table, QStringLiteral("setKeyRGB: writeCmd error"));
}

// --- keys ---------------------------------------------------------------------------------------------------

bool HKeyBoardQuenby_RGB::setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a,
                                         QVariant b, QVariant)
{
    const int position = Rgb::positionOfKey(int(key));
    if (position < 0)
        return false;

    // Null restores the key's factory code; that is also the only code that brings Mute back, which has no
    // function of its own to encode.
    KKeyCode code = factoryCode(position);
    if (function == KFuncMacro && (a.toInt() < 0 || a.toInt() >= Rgb::kMacroSlots)) {
        qDebug() << "setKeyFunc: no macro slot" << a.toInt();
        return false;
    }
    if (function != KFuncNull) {
        const int second = function == KFuncMacro ? 0 : b.toInt();
        if (!Quenby8aKeyCodec::encode(function, a.toInt(), second, &code, Quenby8aKeyCodec::FullSize)) {
            qDebug() << "setKeyFunc: no code for function" << int(function);
            return false;
        }
    }
    const auto bytes = code.bytes();
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
    if (!writeRgbRegister(Rgb::kRegKeyTable + quint32(position * kKeyCodeSize), data)) {
        qDebug() << "setKeyFunc: writeCmd error";
        return false;
    }
    {
        // The slot map follows the device once it holds the code: a macro key holds its slot, any other
        // key gives its slots back.
        QMutexLocker lock(&m_stateLock);
        m_keyTable[position] = code;
        if (function == KFuncMacro)
            m_macroSlots[code.code] = int(key);
        for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
            if (it.value() == int(key) && (function != KFuncMacro || it.key() != code.code))
                it.value() = -1;
        }
    }
    qDebug() << "setKeyFunc: writeCmd success";
    return true;
}

QMap<KKey, KKeyModelItem> HKeyBoardQuenby_RGB::getKeys()
{
    QByteArray table;
    {
        QMutexLocker op(&m_operationLock);
        table = m_transport.readBulk(Rgb::kRegKeyTable, kKeyTableSize);
    }
    QMap<KKey, KKeyModelItem> result;
    if (table.size() != kKeyTableSize) {
        qDebug() << "getKEY error";
        return result;
    }

    QMutexLocker lock(&m_stateLock);
    for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it)
        it.value() = -1;
    QList<int> unplaced; // macro keys whose stored slot is unusable
    for (int position = 0; position < kKeyPositions; ++position) {
        const int key = Rgb::keyAtPosition(position);
        if (!Rgb::isMappedKey(key))
            continue;
        const auto* b = reinterpret_cast<const quint8*>(table.constData()) + kKeyCodeSize * position;
        const KKeyCode code = KKeyCode::fromBytes(b);
        KKeyModelItem item;
        item.setType(Quenby8aKeyCodec::decode(code, Quenby8aKeyCodec::FullSize), false);
        item.setValue1(b[0], false);
        item.setValue2(b[1], false);
        item.setValue3(b[2], false);
        item.setValue4(b[3], false);
        item.setKey(key, false);
        result.insert(KKey(key), item);
        if (item.getType() != KFuncMacro)
            continue;
        qDebug() << "macro key at position" << position;
        if (code.code < Rgb::kMacroSlots && m_macroSlots.value(code.code) == -1)
            m_macroSlots[code.code] = key;
        else
            unplaced << key;
    }
    for (int key : unplaced) {
        for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
            if (it.value() == -1) {
                it.value() = key;
                break;
            }
        }
    }
    return result;
}

// --- macros -----------------------------------------------------------------------------------------------

int HKeyBoardQuenby_RGB::setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                                  QVariant times, const int& slot)
{
    // The whole record is built and checked before anything is sent.
    const QByteArray record =
        Quenby8aMacroRecord::encode(ignoreDelay, playType, items, times.toInt(), Quenby8aKeyCodec::FullSize);
    if (slot < 0 || slot >= Rgb::kMacroSlots || record.isEmpty()) {
        qDebug() << "setMacro error" << "slot" << slot;
        return -1;
    }
    return writeMacroRecordAt(slot, record) ? 1 : -1;
}

bool HKeyBoardQuenby_RGB::writeMacroRecordAt(int slot, const QByteArray& record)
{
    QMutexLocker op(&m_operationLock);
    return m_transport.writeBulk(Rgb::macroRecordAddress(slot), record, QStringLiteral("setMacro error"),
                                 Rgb::kSaveFlag);
}

bool HKeyBoardQuenby_RGB::writeKeyTable(const QByteArray& table)
{
    if (table.size() != kKeyTableSize)
        return false;
    QMutexLocker op(&m_operationLock);
    return m_transport.writeBulk(Rgb::kRegKeyTable, table, QStringLiteral("setKeyFunc: writeCmd error"));
}

// --- whole profile ------------------------------------------------------------------------------------------

namespace {

// Keys a profile of this model does not list; its arrays hold one entry per remaining key, in position order.
constexpr int kUnlistedKeys[] = {17, 20, 26, 101, 109, 113, 117, 125, 126};

void putCode(QByteArray& table, int position, const KKeyCode& code)
{
    const auto bytes = code.bytes();
    for (int i = 0; i < kKeyCodeSize; ++i)
        table[kKeyCodeSize * position + i] = char(bytes[size_t(i)]);
}

} // namespace

struct HKeyBoardQuenby_RGB::ApplyPlan {
    struct MacroKey {
        int key = 0;
        int position = 0;
        QByteArray record; // the encoded macro record
    };

    int lightMode = 0;
    // Speed and brightness of the light entry of the mode; without an entry the keyboard keeps its own (writing
    // 0 would leave it dark).
    bool hasLightEntry = false;
    int speed = 0;
    int brightness = 0;
    bool direction = false;
    bool monochrome = false;
    // The light's colour as the profile's light entry keeps it (a save takes it from the keyboard); empty
    // when the entry has none, and the keyboard keeps its own.
    QMap<QString, int> color;
    // Starts as the key table cache; the macro keys' codes are filled in once they have their slots.
    QByteArray keyTable;
    QList<MacroKey> macros;
    // Slots that keys the profile does not list still play from (slot -> key): they are not handed out.
    QMap<int, int> keptSlots;
    // Colour per listed position; the others keep what the device shows.
    QMap<int, QByteArray> colors;
};

bool HKeyBoardQuenby_RGB::isProfileKey(int key)
{
    for (int unlisted : kUnlistedKeys) {
        if (unlisted == key)
            return false;
    }
    return Rgb::positionOfKey(key) >= 0;
}

int HKeyBoardQuenby_RGB::getMouseConfig(QJsonObject profile)
{
    ApplyPlan plan;
    QString detail;
    const char* failure = planProfile(profile, &plan, &detail);
    if (!failure) {
        detail.clear();
        failure = commitProfile(plan);
    }
    if (failure) {
        if (detail.isEmpty())
            qDebug() << failure;
        else
            qDebug() << failure << detail;
        return ProfileFailed;
    }
    qDebug() << "SET FINISH";
    return ProfileApplied;
}

const char* HKeyBoardQuenby_RGB::planProfile(const QJsonObject& profile, ApplyPlan* plan, QString* detail) const
{
    namespace PD = ProfileDocument;
    auto refuse = [detail](const char* message, const QString& why) {
        *detail = why;
        return message;
    };

    plan->lightMode = PD::modeIndex(profile, PD::kLightModel, 0);
    PD::LightEntry light;
    if (PD::lightEntry(profile, PD::kLight, plan->lightMode, &light)) {
        plan->hasLightEntry = true;
        plan->speed = light.speed;
        plan->brightness = light.brightness;
        int r = 0, g = 0, b = 0;
        if (!light.colors.isEmpty() && PD::colorFromText(light.colors.first(), &r, &g, &b))
            plan->color = {{QStringLiteral("r"), r}, {QStringLiteral("g"), g}, {QStringLiteral("b"), b}};
    }
    if (!Rgb::fitsRegister(plan->lightMode))
        return refuse("[Error] getMouseConfig setLightModel", QStringLiteral("mode out of range"));
    if (!Rgb::validSpeed(plan->speed))
        return refuse("[Error] getMouseConfig setLightSpeed", QStringLiteral("speed out of range"));
    if (!Rgb::fitsRegister(plan->brightness))
        return refuse("[Error] getMouseConfig setLightBrightness", QStringLiteral("brightness out of range"));
    plan->direction = profile.value(PD::kLightDirection).toBool(false);
    plan->monochrome = profile.value(PD::kLightMonochromatic).toBool(false);

    QVector<PD::KeyEntry> keys;
    QVector<PD::KeyLightEntry> lights;
    QString error;
    if (profile.contains(PD::kKey) && !PD::keyEntries(profile, &keys, &error))
        return refuse("[Error] getMouseConfig setProfileKeyFunction", error);
    if (profile.contains(PD::kKeyLight) && !PD::keyLightEntries(profile, &lights, &error))
        return refuse("[Error] getMouseConfig setProfileKeyLight", error);

    const QVector<KKeyCode> cache = keyTableCache();
    plan->keyTable = QByteArray(kKeyTableSize, '\0');
    for (int position = 0; position < kKeyPositions; ++position) {
        putCode(plan->keyTable, position, cache.at(position));
        const int key = Rgb::keyAtPosition(position);
        const KKeyCode& code = cache.at(position);
        if (key >= 0 && !isProfileKey(key) && code.type == KKeyCode::kMacro && code.code < Rgb::kMacroSlots
            && !plan->keptSlots.contains(code.code))
            plan->keptSlots.insert(code.code, key);
    }

    // A profile without a key section leaves every key as it is; one with a shorter array sets the keys past
    // its end to Null.
    const bool hasKeys = profile.contains(PD::kKey);
    int entry = 0;
    for (int position = 0; position < kKeyPositions; ++position) {
        const int key = Rgb::keyAtPosition(position);
        if (!isProfileKey(key))
            continue;
        KKeyCode code = hasKeys ? KKeyCode() : cache.at(position); // past the end of the array: four zero bytes
        if (entry < keys.size()) {
            const PD::KeyEntry& item = keys.at(entry);
            const int function = item.funcIndex;
            if (function == KFuncMacro) {
                PD::Macro macro;
                if (!PD::macroFromValue(item.value1, &macro, &error))
                    return refuse("[Error] getMouseConfig setMacro", error);
                ApplyPlan::MacroKey macroKey;
                macroKey.key = key;
                macroKey.position = position;
                macroKey.record = Quenby8aMacroRecord::encode(macro.ignoreTime, macro.playType, macro.events,
                                                              macro.times, Quenby8aKeyCodec::FullSize);
                if (macroKey.record.isEmpty())
                    return refuse("[Error] getMouseConfig setMacro", QStringLiteral("key %1").arg(key));
                plan->macros << macroKey;
            } else if (isModifierFunction(function)) {
                int mask = 0, usage = 0;
                if (!PD::compositeFromValue(item.value1, &mask, &usage)
                    || !Quenby8aKeyCodec::encode(KFuncKeyCombination, mask, usage, &code, Quenby8aKeyCodec::FullSize))
                    return refuse("[Error] getMouseConfig CompositeKey transToByte", QStringLiteral("key %1").arg(key));
            } else if (function == KFuncKeyboardKey) {
                if (!item.value1.isDouble()
                    || !Quenby8aKeyCodec::encode(function, 0, item.value1.toInt(-1), &code, Quenby8aKeyCodec::FullSize))
                    return refuse("[Error] getMouseConfig KeyBoardKey transToByte", QStringLiteral("key %1").arg(key));
            } else if (function != KFuncNull) {
                if (!Quenby8aKeyCodec::encode(function, 0, 0, &code, Quenby8aKeyCodec::FullSize))
                    return refuse("[Error] setFunction", QStringLiteral("key %1").arg(key));
                qDebug() << "[Info] setFunction " << "key:" << key << "KKeyFunction:" << function;
            }
        }
        putCode(plan->keyTable, position, code);
        if (entry < lights.size()) {
            int r = 0, g = 0, b = 0;
            if (!PD::colorFromText(lights.at(entry).color, &r, &g, &b))
                return refuse("[Error] getMouseConfig setProfileKeyLight", QStringLiteral("key %1").arg(key));
            QByteArray rgb(Rgb::kColorBytes, '\0');
            rgb[0] = char(quint8(r));
            rgb[1] = char(quint8(g));
            rgb[2] = char(quint8(b));
            plan->colors.insert(position, rgb);
        }
        ++entry;
    }
    if (plan->macros.size() + plan->keptSlots.size() > Rgb::kMacroSlots)
        return refuse("[Error] getMouseConfig checkMacroId", QStringLiteral("more macro keys than slots"));
    return nullptr;
}

const char* HKeyBoardQuenby_RGB::commitProfile(ApplyPlan& plan)
{
    // The colour table starts from what the device shows, so keys the profile does not list keep their
    // colours; it is read before the first write, so a keyboard that cannot be read is left as it was.
    QByteArray colors;
    {
        QMutexLocker op(&m_operationLock);
        colors = m_transport.readBulk(Rgb::kRegKeyColor, Rgb::kKeyColorSize);
    }
    if (colors.size() != Rgb::kKeyColorSize)
        return "[Error] getMouseConfig setProfileKeyLight";
    for (auto it = plan.colors.constBegin(); it != plan.colors.constEnd(); ++it)
        colors.replace(it.key() * Rgb::kColorBytes, Rgb::kColorBytes, it.value());

    if (!setLightModel(plan.lightMode, 0))
        return "[Error] getMouseConfig setLightModel";
    if (plan.hasLightEntry && !setLightSpeed(plan.speed, 0))
        return "[Error] getMouseConfig setLightSpeed";
    if (plan.hasLightEntry && !setLightBrightness(plan.brightness, 0))
        return "[Error] getMouseConfig setLightBrightness";
    // The colour too, or a profile saved from the keyboard would not put its colour back.
    if (!plan.color.isEmpty() && !setRGB(plan.color, 0))
        return "[Error] getMouseConfig setRGB";
    if (!setLightDirection(plan.direction))
        return "[Error] setLightDirection";
    if (!setMonochromaticMode(plan.monochrome))
        return "[Error] setMonochromaticMode";

    // Every slot is handed out anew, except those that keys outside the profile still play from.
    {
        QMutexLocker lock(&m_stateLock);
        for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it)
            it.value() = plan.keptSlots.value(it.key(), -1);
    }
    for (const ApplyPlan::MacroKey& macro : qAsConst(plan.macros)) {
        int slot = -1;
        if (!checkMacroId(macro.key, &slot))
            return "[Error] getMouseConfig checkMacroId";
        if (!writeMacroRecordAt(slot, macro.record))
            return "[Error] getMouseConfig setMacro";
        if (!setKeyFunction(KKey(macro.key), KFuncMacro, slot, 0, QVariant()))
            return "[Error] getMouseConfig Macro transToByte";
        putCode(plan.keyTable, macro.position, keyTableCache().at(macro.position));
    }

    qDebug() << "SET KEY";
    if (!writeKeyTable(plan.keyTable))
        return "[Error] getMouseConfig setProfileKeyFunction";
    qDebug() << "SET KEY FINISH";
    {
        // The cache follows what the keyboard now holds.
        QMutexLocker lock(&m_stateLock);
        for (int position = 0; position < kKeyPositions; ++position)
            m_keyTable[position] = KKeyCode::fromBytes(
                reinterpret_cast<const quint8*>(plan.keyTable.constData()) + kKeyCodeSize * position);
    }

    qDebug() << "SET lIGHT";
    if (!writeKeyColorTable(colors))
        return "[Error] getMouseConfig setProfileKeyLight";
    qDebug() << "SET lIGHT FINISH";
    return nullptr;
}
