// Applying a whole profile document to FDeviceQuenby_8a in two steps. The plan reads the document and the
// layout, checks every value with the validators the setters use and works out every byte to be written; it
// does no I/O, so a profile the keyboard cannot take changes nothing on the device. The commit then writes
// the plan under the operation lock, taken once. Entries are placed by their key; keys a profile does not
// list keep their factory function and light.

#include "devices/keyboard/FDeviceQuenby_8a.h"

#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aKeyTable.h"
#include "devices/keyboard/Quenby8aMacroRecord.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "platform/sys/PlatformTime.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QJsonArray>
#include <QMutexLocker>
#include <QSet>

using namespace Quenby8a;
namespace PD = ProfileDocument;

struct FDeviceQuenby_8a::ApplyPlan {
    struct MacroKey {
        int key = 0;
        int position = 0;
        QByteArray record; // the encoded macro record
    };

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

// Why a profile was not applied: the log line and what it was about.
struct FDeviceQuenby_8a::Refusal {
    const char* message = nullptr;
    QString detail;
};

namespace {

void putCode(QByteArray& table, int position, const KKeyCode& code)
{
    const auto bytes = code.bytes();
    for (int i = 0; i < kKeyCodeSize; ++i)
        table[kKeyCodeSize * position + i] = char(bytes[size_t(i)]);
}

// Every key light is at this level from the factory (the factory profile lists each key with it).
constexpr int kFactoryKeyLightLevel = 10;

} // namespace

int FDeviceQuenby_8a::getMouseConfig(QJsonObject profile)
{
    ApplyPlan plan;
    Refusal refusal;
    if (!planProfile(profile, &plan, &refusal) || !commitProfile(plan, &refusal)) {
        if (refusal.detail.isEmpty())
            qDebug() << refusal.message;
        else
            qDebug() << refusal.message << refusal.detail;
        return ProfileFailed;
    }
    qDebug() << "SET FINISH";
    return ProfileApplied;
}

bool FDeviceQuenby_8a::planProfile(const QJsonObject& profile, ApplyPlan* plan, Refusal* refusal) const
{
    auto refuse = [refusal](const char* message, const QString& detail) {
        refusal->message = message;
        refusal->detail = detail;
        return false;
    };

    // --- lights: every value must be one the keyboard takes. A mode without an entry of its own (a profile
    // of a model with fewer modes) runs at speed 0 and brightness 0; an entry that is there but unreadable is
    // refused, since its values would reach the device as 0 unasked.
    plan->lightMode = PD::modeIndex(profile, PD::kLightModel, 0);
    plan->logoMode = PD::modeIndex(profile, PD::kLogoLightModel, 0);
    const QJsonArray lights = profile.value(PD::kLight).toArray();
    if (plan->lightMode >= 0 && plan->lightMode < lights.size()) {
        PD::LightEntry light;
        if (!PD::lightEntry(profile, PD::kLight, plan->lightMode, &light))
            return refuse("[Error] getMouseConfig setLightSpeed", QStringLiteral("light entry unreadable"));
        plan->speed = light.speed;
        plan->brightness = light.brightness;
    }
    if (!validLightMode(plan->lightMode))
        return refuse("[Error] getMouseConfig setLightModel", QStringLiteral("mode out of range"));
    if (!validLogoMode(plan->logoMode))
        return refuse("[Error] getMouseConfig setLogoLightMode", QStringLiteral("mode out of range"));
    if (!validSpeed(plan->speed))
        return refuse("[Error] getMouseConfig setLightSpeed", QStringLiteral("speed out of range"));
    if (!validBrightness(plan->brightness))
        return refuse("[Error] getMouseConfig setLightBrightness", QStringLiteral("brightness out of range"));

    // --- key table: each entry goes to its own key's position; unlisted positions keep the factory code ---
    if (profile.contains(PD::kKey)) {
        QVector<PD::KeyEntry> entries;
        QString error;
        if (!PD::keyEntries(profile, &entries, &error))
            return refuse("[Error] getMouseConfig setProfileKeyFunction", error);
        plan->writeKeys = true;
        plan->keyTable = QByteArray(kKeyTableSize, '\0');
        for (int pos = 0; pos < kPositionCount; ++pos)
            putCode(plan->keyTable, pos, defaultKeyCode(pos));

        for (const PD::KeyEntry& entry : entries) {
            const int pos = positionOfKey(entry.key);
            if (pos < 0 || isIsoKey(entry.key)) {
                qDebug() << "[Info] getMouseConfig skips key" << entry.key;
                continue;
            }
            const int function = entry.funcIndex;
            KKeyCode code;
            if (function == KFuncMacro) {
                PD::Macro macro;
                if (!PD::macroFromValue(entry.value1, &macro, &error))
                    return refuse("[Error] getMouseConfig setMacro", error);
                ApplyPlan::MacroKey macroKey;
                macroKey.key = entry.key;
                macroKey.position = pos;
                macroKey.record =
                    Quenby8aMacroRecord::encode(macro.ignoreTime, macro.playType, macro.events, macro.times);
                if (macroKey.record.isEmpty())
                    return refuse("[Error] getMouseConfig setMacro", QStringLiteral("key %1").arg(entry.key));
                plan->macros << macroKey;
                continue;  // its code is known once it has a slot
            }
            if (isModifierFunction(function)) {
                int mask = 0, usage = 0;
                if (!PD::compositeFromValue(entry.value1, &mask, &usage)
                    || !Quenby8aKeyCodec::encode(KFuncKeyCombination, mask, usage, &code))
                    return refuse("[Error] getMouseConfig CompositeKey transToByte",
                                  QStringLiteral("key %1").arg(entry.key));
            } else if (function == KFuncKeyboardKey) {
                if (!entry.value1.isDouble()
                    || !Quenby8aKeyCodec::encode(function, 0, entry.value1.toInt(-1), &code))
                    return refuse("[Error] getMouseConfig KeyBoardKey transToByte",
                                  QStringLiteral("key %1").arg(entry.key));
            } else {
                if (!Quenby8aKeyCodec::encode(function, 0, 0, &code))
                    return refuse("[Error] setFunction", QStringLiteral("key %1").arg(entry.key));
                qDebug() << "[Info] setFunction " << "key:" << entry.key << "KKeyFunction:" << function;
            }
            putCode(plan->keyTable, pos, code);
        }
        if (plan->macros.size() > kMacroSlots)
            return refuse("[Error] getMouseConfig checkMacroId", QStringLiteral("more macro keys than slots"));
    }

    // --- per-key brightness, placed by key like the key table ------------------------------------------------
    if (profile.contains(PD::kKeyLight)) {
        QVector<PD::KeyLightEntry> entries;
        QString error;
        if (!PD::keyLightEntries(profile, &entries, &error))
            return refuse("[Error] getMouseConfig setProfileKeyLight", error);
        int minLevel = 0, maxLevel = 0;
        keyLevelRange(&minLevel, &maxLevel);
        plan->writeKeyLights = true;
        plan->brightnessTable = QByteArray(kKeyBrightnessSize, '\0');
        plan->brightnessLevels = QByteArray(kKeyBrightnessSize, '\0');
        // A key the profile does not list keeps its factory light instead of going dark.
        const int factoryLevel = qBound(minLevel, kFactoryKeyLightLevel, maxLevel);
        for (int pos = 0; pos < kPositionCount && pos < kKeyBrightnessSize; ++pos) {
            if (keyAtPosition(pos) == kEmptyPosition)
                continue;
            plan->brightnessTable[pos] = char(keyLevelToDevice(factoryLevel));
            plan->brightnessLevels[pos] = char(factoryLevel);
        }
        for (const PD::KeyLightEntry& entry : entries) {
            const int pos = positionOfKey(entry.key);
            // An entry without a level (a colour-only one) keeps the factory light rather than going dark.
            if (pos < 0 || !entry.hasLevel)
                continue;
            const int level = qBound(minLevel, entry.level, maxLevel);
            plan->brightnessTable[pos] = char(keyLevelToDevice(level));
            plan->brightnessLevels[pos] = char(level);
        }
    }
    return true;
}

bool FDeviceQuenby_8a::commitProfile(ApplyPlan& plan, Refusal* refusal)
{
    auto fail = [refusal](const char* message) {
        refusal->message = message;
        refusal->detail.clear();
        return false;
    };

    QMutexLocker op(&m_operationLock);
    if (!writeRegisterPair(kRegLightMode, kRegLightModeCopy, lightModeToDevice(plan.lightMode)))
        return fail("[Error] getMouseConfig setLightModel");
    if (!writeByteRegister(kRegLogoMode, quint8(plan.logoMode)))
        return fail("[Error] getMouseConfig setLogoLightMode");
    if (!writeRegisterPair(kRegSpeed, kRegSpeedCopy, speedToDevice(plan.speed)))
        return fail("[Error] getMouseConfig setLightSpeed");
    if (!writeRegisterPair(kRegBrightness, kRegBrightnessCopy, quint8(plan.brightness)))
        return fail("[Error] getMouseConfig setLightBrightness");

    if (plan.writeKeys) {
        // The whole key table is rewritten: a key that is no macro key of this profile will hold no slot.
        {
            QSet<int> macroKeys;
            for (const ApplyPlan::MacroKey& m : qAsConst(plan.macros))
                macroKeys.insert(m.key);
            QMutexLocker lock(&m_stateLock);
            for (auto it = m_macroSlots.begin(); it != m_macroSlots.end(); ++it) {
                if (!macroKeys.contains(it.value()))
                    it.value() = -1;
            }
        }
        for (const ApplyPlan::MacroKey& m : qAsConst(plan.macros)) {
            int slot = -1;
            if (!checkMacroId(m.key, &slot))
                return fail("[Error] getMouseConfig checkMacroId");
            if (!writeMacroRecord(slot, m.record))
                return fail("[Error] getMouseConfig setMacro");
            KKeyCode code;
            if (!encodeKeyFunction(m.key, KFuncMacro, slot, QVariant(), &code)
                || !writeKeyCode(m.key, m.position, KFuncMacro, code))
                return fail("[Error] getMouseConfig Macro transToByte");
            putCode(plan.keyTable, m.position, code);
        }

        qDebug() << "SET KEY";
        if (!writeKeyTable(plan.keyTable))
            return fail("[Error] getMouseConfig setProfileKeyFunction");
        qDebug() << "SET KEY FINISH";
        QMutexLocker lock(&m_stateLock);
        for (int pos = 0; pos < kPositionCount; ++pos)
            m_image.setKeyCode(
                pos,
                KKeyCode::fromBytes(reinterpret_cast<const quint8*>(plan.keyTable.constData()) + kKeyCodeSize * pos));
    }

    if (plan.writeKeyLights) {
        qDebug() << "SET lIGHT";
        if (!writeKeyBrightnessTable(plan.brightnessTable))
            return fail("[Error] getMouseConfig setProfileKeyLight");
        qDebug() << "SET lIGHT FINISH";
        QMutexLocker lock(&m_stateLock);
        for (int pos = 0; pos < kKeyBrightnessSize; ++pos)
            m_image.setKeyBrightness(pos, quint8(plan.brightnessLevels.at(pos)));
    }
    return true;
}
