#include "profiles/ProfileFieldApply.h"

#include "common/DeviceIds.h"
#include "hid/KBaseDevice.h"
#include "models/keys/KKey.h"
#include "models/keys/KeyAssignmentRules.h"

#include <QDebug>
#include <QJsonArray>
#include <QVariant>

namespace PD = ProfileDocument;

namespace {

constexpr int kPressMacroMode = 3;    // the layout's left-key mode in which the left button holds press macros
constexpr int kMaxMultiMacros = 3;
constexpr int kFirstMultiMacroId = 1000;

bool refuse(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// A switch that is there must be a boolean: anything else would reach the device as false.
bool optionalBool(const QJsonObject& profile, const QString& member, bool* has, bool* value)
{
    const QJsonValue v = profile.value(member);
    *has = !v.isUndefined();
    *value = v.toBool();
    return !*has || v.isBool();
}

// The setMacro answer: 1 written; 0 or -1 (as the device classes answer) not.
bool macroWritten(int answer)
{
    return answer > 0;
}

} // namespace

bool ProfileFieldApply::plan(const QJsonObject& profile, const Inputs& inputs, ProfileFieldApply* out,
                             QString* error)
{
    ProfileFieldApply plan;

    // Report rate, when the profile has one (an empty section is none).
    if (PD::isPresentSection(profile, PD::kReport)) {
        const QJsonValue index = profile.value(PD::kReport).toObject().value(PD::kIndex);
        if (!PD::isInteger(index) || index.toInt() < 0)
            return refuse(error, QStringLiteral("\"report\" has no index"));
        plan.m_hasReport = true;
        plan.m_report = index.toInt();
    }

    // DPI: the device counts its current level over the levels switched on only, and takes every value.
    if (PD::isPresentSection(profile, PD::kDpi)) {
        const QJsonObject dpi = profile.value(PD::kDpi).toObject();
        const QJsonArray levels = dpi.value(PD::kDpiValue).toArray();
        const QJsonValue current = dpi.value(PD::kCurrentIndex);
        if (levels.isEmpty() || !PD::isInteger(current) || current.toInt() < 0 || current.toInt() >= levels.size())
            return refuse(error, QStringLiteral("\"dpi\" has no levels or no current level among them"));
        for (const QJsonValue& level : levels) {
            const QJsonObject object = level.toObject();
            if (!PD::isInteger(object.value(PD::kCurrentValue)) || !object.value(PD::kEnable).isBool())
                return refuse(error, QStringLiteral("a DPI level is not a value with its switch"));
            plan.m_dpiEnable << object.value(PD::kEnable).toBool();
            plan.m_dpiValues << object.value(PD::kCurrentValue).toInt();
        }
        plan.m_dpiIndex = int(std::count(plan.m_dpiEnable.cbegin(), plan.m_dpiEnable.cbegin() + current.toInt(), true));
        plan.m_hasDpi = true;
    }

    // Main light: the mode and its own entry; a colour only where the entry keeps one.
    if (PD::isPresentSection(profile, PD::kLightModel)) {
        const int mode = PD::modeIndex(profile, PD::kLightModel, -1);
        PD::LightEntry entry;
        if (mode < 0 || !PD::lightEntry(profile, PD::kLight, mode, &entry))
            return refuse(error, QStringLiteral("the light mode has no entry"));
        plan.m_hasLight = true;
        plan.m_lightMode = mode;
        plan.m_speed = entry.speed;
        plan.m_brightness = entry.brightness;
        if (!entry.colors.isEmpty()) {
            int r = 0, g = 0, b = 0;
            if (!PD::colorFromText(entry.colors.first(), &r, &g, &b))
                return refuse(error, QStringLiteral("the light colour is not six hexadecimal digits"));
            plan.m_hasColor = true;
            plan.m_rgb = {{QStringLiteral("r"), r}, {QStringLiteral("g"), g}, {QStringLiteral("b"), b}};
        }
    }

    // Keys, in document order.
    if (profile.contains(PD::kKey)) {
        QVector<PD::KeyEntry> entries;
        QString reason;
        if (!PD::keyEntries(profile, &entries, &reason))
            return refuse(error, reason);
        for (int p = 0; p < entries.size(); ++p) {
            const PD::KeyEntry& entry = entries.at(p);
            KeyWrite write;
            write.key = entry.key;
            write.function = entry.funcIndex;
            const bool multiMacro = p == 0 && PD::isMultiMacroEntry(entry);
            if (p == 0 && !multiMacro && inputs.leftKeyMacro == kPressMacroMode)
                plan.m_clearPressMacros = true;
            if (entry.funcIndex == PD::kFunctionMacro) {
                PD::Macro macro;
                if (!PD::macroFromValue(entry.value1, &macro, &reason))
                    return refuse(error, QStringLiteral("key %1: %2").arg(entry.key).arg(reason));
                write.kind = KeyKind::Macro;
                write.macros << macro;
            } else if (multiMacro) {
                // The macros present, in number order (a gap in the numbering is closed).
                const QJsonObject value1 = entry.value1.toObject();
                for (int m = 1; m <= kMaxMultiMacros; ++m) {
                    const QString member = PD::kMultiMacroPrefix + QString::number(m);
                    if (!value1.contains(member))
                        continue;
                    PD::Macro macro;
                    QJsonObject withType = value1.value(member).toObject();
                    if (!PD::macroFromValue(withType, &macro, &reason))
                        return refuse(error, QStringLiteral("multi-macro %1: %2").arg(m).arg(reason));
                    write.macros << macro;
                }
                write.kind = KeyKind::MultiMacro;
                // The multi-macro key is the first position, written as the left button.
                write.key = 0;
                write.function = PD::kFunctionLeft;
            } else if (isModifierFunction(entry.funcIndex)) {
                if (!PD::compositeFromValue(entry.value1, &write.value1, &write.value2))
                    return refuse(error, QStringLiteral("key %1: the key combination cannot be read").arg(entry.key));
                // The swapped-modifier mice store Ctrl as Shift and back; the profile holds the user's mask, as
                // the save wrote it.
                if (DeviceIds::has(quint16(inputs.pid), DeviceIds::Flag::SwappedModifiers))
                    write.value1 = KeyAssignmentRules::swapCtrlShift(write.value1);
                write.kind = KeyKind::Composite;
                write.function = KFuncKeyCombination;
            } else if (entry.funcIndex == PD::kFunctionKeyboardKeys) {
                if (!PD::isInteger(entry.value1) || entry.value1.toInt() < 0 || entry.value1.toInt() > 0xFF)
                    return refuse(error, QStringLiteral("key %1: the keyboard key is no usage").arg(entry.key));
                write.kind = KeyKind::KeyboardKey;
                write.value2 = entry.value1.toInt();
            } else {
                write.kind = KeyKind::Plain;
            }
            plan.m_keys << write;
        }
    }

    const bool packed = DeviceIds::has(quint16(inputs.pid), DeviceIds::Flag::PackedValues);
    plan.m_packedMacros = packed;
    plan.m_checkLeftKey = profile.value(PD::kDeviceName).toString() == QLatin1String("EDRIS");
    plan.m_setPicIndex = packed && inputs.isDefault;

    const QJsonValue operatingMode = profile.value(PD::kOperatingMode);
    plan.m_hasOperatingMode = !operatingMode.isUndefined();
    if (plan.m_hasOperatingMode && !PD::isInteger(operatingMode))
        return refuse(error, QStringLiteral("\"operatingMode\" is no number"));
    plan.m_operatingMode = operatingMode.toInt();
    if (!optionalBool(profile, PD::kLightDirection, &plan.m_hasDirection, &plan.m_direction)
        || !optionalBool(profile, PD::kLightMonochromatic, &plan.m_hasMonochromatic, &plan.m_monochromatic))
        return refuse(error, QStringLiteral("a light switch is no boolean"));

    *out = plan;
    return true;
}

bool ProfileFieldApply::commit(KBaseDevice* device) const
{
    if (!device)
        return false;
    if (m_hasReport && !device->setReportRate(m_report))
        return false;
    if (m_hasDpi && (!device->setDpiIndex(m_dpiIndex) || !device->setDpiList(m_dpiValues)))
        return false;
    if (m_hasLight) {
        if (!device->setLightModel(m_lightMode, 0) || !device->setLightSpeed(m_speed, 0)
            || !device->setLightBrightness(m_brightness, 0))
            return false;
        if (m_hasColor && !device->setRGB(m_rgb, 0))
            return false;
    }
    if (m_clearPressMacros && !device->setDefinedPressMacro(0))
        return false;
    // The slot a macro key got is where the next macro key's search starts.
    int macroSlot = 0;
    for (const KeyWrite& write : m_keys) {
        if (!commitKey(device, write, &macroSlot))
            return false;
    }
    if (m_setPicIndex) {
        if (!device->setCurrentPicIndex(1))
            return false;
    } else if (device->getReportRate() == -1) {
        return false;
    }
    if (m_hasOperatingMode && !device->setOperatingMode(m_operatingMode, 0))
        return false;
    if (m_hasDirection && !device->setLightDirection(m_direction))
        return false;
    if (m_hasMonochromatic && !device->setMonochromaticMode(m_monochromatic))
        return false;
    return true;
}

bool ProfileFieldApply::commitKey(KBaseDevice* device, const KeyWrite& write, int* macroSlot) const
{
    const KKey key = KKey(write.key);
    switch (write.kind) {
    case KeyKind::Macro: {
        const PD::Macro& macro = write.macros.first();
        if (!device->checkMacroId(write.key, macroSlot)) {
            qDebug() << "[Error] getMouseConfig checkMacroId";
            return false;
        }
        if (!macroWritten(device->setMacro(macro.ignoreTime, MacroPlayType(macro.playType), macro.events,
                                           macro.times, *macroSlot))) {
            qDebug() << "[Error] getMouseConfig setMacro";
            return false;
        }
        if (!device->setKeyFunction(key, KKeyFunction(KFuncMacro), *macroSlot, QVariant(), QVariant())) {
            qDebug() << "[Error] getMouseConfig setKeyFuntion";
            return false;
        }
        return true;
    }
    case KeyKind::MultiMacro:
        return commitMultiMacro(device, write);
    case KeyKind::Composite:
        if (!device->setKeyFunction(key, KKeyFunction(KFuncKeyCombination), write.value1, write.value2, QVariant())) {
            qDebug() << "[Error] getMouseConfig setCompositeKey";
            return false;
        }
        qDebug() << "[Info] setCompositeKey" << "key:" << write.key << "KKeyFunction:" << write.function;
        return true;
    case KeyKind::KeyboardKey:
        if (!device->setKeyFunction(key, KKeyFunction(KFuncKeyboardKey), 0, write.value2, QVariant())) {
            qDebug() << "[Error] setKeyboardFunction";
            return false;
        }
        return true;
    case KeyKind::Plain:
        if (!device->setKeyFunction(key, KKeyFunction(write.function), QVariant(), QVariant(), QVariant())) {
            qDebug() << "[Error] setFunction";
            return false;
        }
        qDebug() << "[Info] setFunction " << "key:" << write.key << "KKeyFunction:" << write.function;
        return true;
    }
    return false;
}

bool ProfileFieldApply::commitMultiMacro(KBaseDevice* device, const KeyWrite& write) const
{
    if (m_checkLeftKey && !device->checkLeftKey(0)) {
        qDebug() << "[Error] getMouseConfig multiMacro checkLeftkey";
        return false;
    }
    if (!device->setKeyFunction(KKey(0), KKeyFunction(PD::kFunctionLeft), QVariant(), QVariant(), QVariant())) {
        qDebug() << "[Error] setMacroFunction setKeyFunction";
        return false;
    }
    // The packed-value models number their macros from 1001 and take the count after each; the others
    // from 1000, with the count once at the end.
    int count = 0;
    for (const PD::Macro& macro : write.macros) {
        const int id = kFirstMultiMacroId + count + (m_packedMacros ? 1 : 0);
        if (!macroWritten(device->setMacro(macro.ignoreTime, MacroPlayType(macro.playType), macro.events,
                                           macro.times, id))) {
            qDebug() << (m_packedMacros ? "[Error] getMouseConfig multiMacro setMacro"
                                        : "[Error] getMouseConfig setMultiMacroFunction setMacro");
            return false;
        }
        ++count;
        if (m_packedMacros && !device->setDefinedPressMacro(count)) {
            qDebug() << "[Error] getMouseConfig multiMacro setDefinedPressMacro";
            return false;
        }
    }
    if (!m_packedMacros && !device->setDefinedPressMacro(count)) {
        qDebug() << "[Error] setMacroFunction setDefinedPressMacro";
        return false;
    }
    return true;
}
