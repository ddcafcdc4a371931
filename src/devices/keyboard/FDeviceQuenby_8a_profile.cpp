// Applying a whole profile document to FDeviceQuenby_8a in one pass. The document is read and checked in
// full before the first write, so a profile the keyboard cannot take changes nothing on the device. Entries
// are placed by their key; keys a profile does not list keep their factory function and light.

#include "devices/keyboard/FDeviceQuenby_8a.h"

#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "devices/keyboard/Quenby8aMacroRecord.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QMutexLocker>
#include <QSet>

using namespace Quenby8a;
namespace PD = ProfileDocument;

namespace {

struct MacroKey {
    int key = 0;
    int position = 0;
    PD::Macro macro;
};

// Everything the apply writes, worked out before the first write.
struct ApplyPlan {
    int lightMode = 0;
    int logoMode = 0;
    int speed = 0;
    int brightness = 0;
    bool writeKeys = false;
    QByteArray keyTable;
    QList<MacroKey> macros;
    bool writeKeyLights = false;
    QByteArray brightnessTable;
    QByteArray brightnessLevels;
};

void putCode(QByteArray& table, int position, const KKeyCode& code)
{
    const auto bytes = code.bytes();
    for (int i = 0; i < 4; ++i)
        table[4 * position + i] = char(bytes[size_t(i)]);
}

// Every key light is at this level from the factory (the factory profile lists each key with it).
constexpr int kFactoryKeyLightLevel = 10;

int failed(const char* message, const QString& detail = QString())
{
    if (detail.isEmpty())
        qDebug() << message;
    else
        qDebug() << message << detail;
    return 2;
}

} // namespace

int FDeviceQuenby_8a::getMouseConfig(QJsonObject profile)
{
    QMutexLocker op(&m_operationLock);
    ApplyPlan plan;

    // --- lights: the mode's own entry must be there, and every value must be one the keyboard takes --------
    plan.lightMode = PD::modeIndex(profile, PD::kLightModel, 0);
    plan.logoMode = PD::modeIndex(profile, PD::kLogoLightModel, 0);
    PD::LightEntry light;
    if (!PD::lightEntry(profile, PD::kLight, plan.lightMode, &light))
        return failed("[Error] getMouseConfig setLightSpeed", QStringLiteral("no light entry for the mode"));
    plan.speed = light.speed;
    plan.brightness = light.brightness;
    const int modes = lightModeCount();
    if (plan.lightMode < 0 || plan.lightMode > (modes > 0 ? modes - 1 : 0xFE))
        return failed("[Error] getMouseConfig setLightModel", QStringLiteral("mode out of range"));
    if (plan.logoMode < 0 || plan.logoMode > 0xFF)
        return failed("[Error] getMouseConfig setLogoLightMode", QStringLiteral("mode out of range"));
    if (!inLayoutRange("speedMin", "speedMax", plan.speed, 0, kMaxSpeed))
        return failed("[Error] getMouseConfig setLightSpeed", QStringLiteral("speed out of range"));
    if (!inLayoutRange("brightnessMin", "brightnessMax", plan.brightness, 0, 0xFF))
        return failed("[Error] getMouseConfig setLightBrightness", QStringLiteral("brightness out of range"));

    // --- key table: each entry goes to its own key's position; unlisted positions keep the factory code ---
    if (profile.contains(PD::kKey)) {
        QVector<PD::KeyEntry> entries;
        QString error;
        if (!PD::keyEntries(profile, &entries, &error))
            return failed("[Error] getMouseConfig setProfileKeyFunction", error);
        plan.writeKeys = true;
        plan.keyTable = QByteArray(kKeyTableSize, '\0');
        for (int pos = 0; pos < kPositionCount; ++pos)
            putCode(plan.keyTable, pos, defaultKeyCode(pos));

        for (const PD::KeyEntry& entry : entries) {
            const int pos = positionOfKey(entry.key);
            if (pos < 0 || isIsoKey(entry.key)) {
                qDebug() << "[Info] getMouseConfig skips key" << entry.key;
                continue;
            }
            const int function = entry.funcIndex;
            KKeyCode code;
            if (function == KFuncMacro) {
                MacroKey macroKey;
                macroKey.key = entry.key;
                macroKey.position = pos;
                if (!PD::macroFromValue(entry.value1, &macroKey.macro, &error))
                    return failed("[Error] getMouseConfig setMacro", error);
                if (Quenby8aMacroRecord::encode(macroKey.macro.ignoreTime, macroKey.macro.playType,
                                                macroKey.macro.events, macroKey.macro.times)
                        .isEmpty())
                    return failed("[Error] getMouseConfig setMacro", QStringLiteral("key %1").arg(entry.key));
                plan.macros << macroKey;
                continue;  // its code is known once it has a slot
            }
            if (isModifierFunction(function)) {
                int mask = 0, usage = 0;
                if (!PD::compositeFromValue(entry.value1, &mask, &usage)
                    || !Quenby8aKeyCodec::encode(KFuncKeyCombination, mask, usage, &code))
                    return failed("[Error] getMouseConfig CompositeKey transToByte",
                                  QStringLiteral("key %1").arg(entry.key));
            } else if (function == KFuncKeyboardKey) {
                if (!entry.value1.isDouble()
                    || !Quenby8aKeyCodec::encode(function, 0, entry.value1.toInt(-1), &code))
                    return failed("[Error] getMouseConfig KeyBoardKey transToByte",
                                  QStringLiteral("key %1").arg(entry.key));
            } else {
                if (!Quenby8aKeyCodec::encode(function, 0, 0, &code))
                    return failed("[Error] setFunction", QStringLiteral("key %1").arg(entry.key));
                qDebug() << "[Info] setFunction " << "key:" << entry.key << "KKeyFunction:" << function;
            }
            putCode(plan.keyTable, pos, code);
        }
        if (plan.macros.size() > kMacroSlots)
            return failed("[Error] getMouseConfig checkMacroId", QStringLiteral("more macro keys than slots"));
    }

    // --- per-key brightness, placed by key like the key table ------------------------------------------------
    if (profile.contains(PD::kKeyLight)) {
        QVector<PD::KeyLightEntry> entries;
        QString error;
        if (!PD::keyLightEntries(profile, &entries, &error))
            return failed("[Error] getMouseConfig setProfileKeyLight", error);
        const QJsonObject layoutLight = m_layout.value(QStringLiteral("light")).toObject();
        const int minLevel = qMax(0, layoutLight.value(QStringLiteral("keyLightMin")).toInt(0));
        const int maxLevel = qMin(kMaxKeyLevel, layoutLight.value(QStringLiteral("keyLightMax")).toInt(10));
        plan.writeKeyLights = true;
        plan.brightnessTable = QByteArray(kKeyBrightnessSize, '\0');
        plan.brightnessLevels = QByteArray(kKeyBrightnessSize, '\0');
        // A key the profile does not list keeps its factory light instead of going dark.
        const int factoryLevel = qBound(minLevel, kFactoryKeyLightLevel, maxLevel);
        for (int pos = 0; pos < kPositionCount && pos < kKeyBrightnessSize; ++pos) {
            if (keyAtPosition(pos) == kEmptyPosition)
                continue;
            plan.brightnessTable[pos] = char(keyLevelToDevice(factoryLevel));
            plan.brightnessLevels[pos] = char(factoryLevel);
        }
        for (const PD::KeyLightEntry& entry : entries) {
            const int pos = positionOfKey(entry.key);
            // An entry without a level (a colour-only one) keeps the factory light rather than going dark.
            if (pos < 0 || !entry.hasLevel)
                continue;
            const int level = qBound(minLevel, entry.level, maxLevel);
            plan.brightnessTable[pos] = char(keyLevelToDevice(level));
            plan.brightnessLevels[pos] = char(level);
        }
    }

    // --- writes ----------------------------------------------------------------------------------------------
    if (!setLightModel(plan.lightMode, 0))
        return failed("[Error] getMouseConfig setLightModel");
    if (!setLogoLightMode(plan.logoMode, 0))
        return failed("[Error] getMouseConfig setLogoLightMode");
    if (!setLightSpeed(plan.speed, 0))
        return failed("[Error] getMouseConfig setLightSpeed");
    if (!setLightBrightness(plan.brightness, 0))
        return failed("[Error] getMouseConfig setLightBrightness");

    if (plan.writeKeys) {
        // The whole key table is rewritten: a key that is no macro key of this profile will hold no slot.
        {
            QSet<int> macroKeys;
            for (const MacroKey& m : plan.macros)
                macroKeys.insert(m.key);
            QMutexLocker lock(&m_stateLock);
            for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
                if (!macroKeys.contains(it.value()))
                    it.value() = -1;
            }
        }
        for (const MacroKey& m : plan.macros) {
            int slot = -1;
            if (!checkMacroId(m.key, &slot))
                return failed("[Error] getMouseConfig checkMacroId");
            if (setMacro(m.macro.ignoreTime, MacroPlayType(m.macro.playType), m.macro.events, m.macro.times, slot)
                == -1)
                return failed("[Error] getMouseConfig setMacro");
            KKeyCode code;
            if (!setKeyFunction(KKey(m.key), KKeyFunction(KFuncMacro), slot, QVariant(), QVariant())
                || !Quenby8aKeyCodec::encode(KFuncMacro, slot, 0, &code))
                return failed("[Error] getMouseConfig Macro transToByte");
            putCode(plan.keyTable, m.position, code);
        }

        qDebug() << "SET KEY";
        if (!writeKeyTable(plan.keyTable))
            return failed("[Error] getMouseConfig setProfileKeyFunction");
        qDebug() << "SET KEY FINISH";
        QMutexLocker lock(&m_stateLock);
        for (int pos = 0; pos < kPositionCount; ++pos)
            m_image.setKeyCode(pos, KKeyCode::fromBytes(reinterpret_cast<const quint8*>(plan.keyTable.constData()) + 4 * pos));
    }

    if (plan.writeKeyLights) {
        qDebug() << "SET lIGHT";
        if (!writeKeyBrightnessTable(plan.brightnessTable))
            return failed("[Error] getMouseConfig setProfileKeyLight");
        qDebug() << "SET lIGHT FINISH";
        QMutexLocker lock(&m_stateLock);
        for (int pos = 0; pos < kKeyBrightnessSize; ++pos)
            m_image.setKeyBrightness(pos, quint8(plan.brightnessLevels.at(pos)));
    }
    qDebug() << "SET FINISH";
    return 1;
}
