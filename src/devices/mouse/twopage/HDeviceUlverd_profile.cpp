// Applying a whole profile document to a two-page mouse in two steps. The plan reads the whole document,
// checks every value with the rules the setters use and builds the image the profile asks for, without I/O,
// so a profile the mouse cannot take changes nothing. The commit then sends the macros (each followed by the
// image with its key's macro code, as the mouse plays a macro only from a key that names it) and finally the
// whole image. The models follow only once the mouse has taken everything; a failure part-way leaves the
// image as the mouse last acknowledged it.

#include "devices/mouse/twopage/HDeviceUlverd.h"

#include "common/AppServices.h"
#include "devices/mouse/twopage/UlverdProtocol.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/HMacroType.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>

#include <algorithm>

using namespace Ulverd;
using namespace TwoPage;
namespace PD = ProfileDocument;

struct HDeviceUlverd::ApplyPlan {
    struct MacroKey {
        int key = 0;
        int slot = 0;
        QByteArray events;
        int records = 0;
        int playCode = 0;
        int repeat = 1;
        QString name;
        KeyChange change;
    };

    QByteArray image;
    QMap<int, int> slotTable;
    QList<MacroKey> macros;
    QList<KeyChange> keys;
    int report = 0;
    bool hasDpi = false;
    QVector<bool> enable;
    QVector<int> values;
    int lightMode = 0;
    int speed = 0;
    int brightness = 0;
    QString colour;
    const char* failure = nullptr;  // the log line of a refusal or failure
};

namespace {

bool isVariantCombination(int function)
{
    return isModifierFunction(function);
}

int playCodeOf(int playType)
{
    return playType == MacroPlayToggle ? kPlayCodeToggle
        : playType == MacroPlayWhilePressed ? kPlayCodeWhilePressed
                                            : kPlayCodeCycles;
}

} // namespace

int HDeviceUlverd::getMouseConfig(QJsonObject profile)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return ProfileFailed;
    ApplyPlan plan;
    if (!planProfile(profile, &plan) || !commitProfile(plan, op)) {
        if (plan.failure)
            qDebug() << plan.failure;
        return ProfileFailed;
    }
    return ProfileApplied;
}

bool HDeviceUlverd::planProfile(const QJsonObject& profile, ApplyPlan* plan)
{
    auto refuse = [plan](const char* message) {
        plan->failure = message;
        return false;
    };
    QByteArray next = image();
    plan->slotTable = macroSlots();

    // Report rate.
    const QJsonValue report = profile.value(PD::kReport).toObject().value(PD::kIndex);
    plan->report = report.toInt(-1);
    if (!report.isUndefined() && !PD::isInteger(report))
        return refuse("[Error] getMouseConfig report");
    if (report.isUndefined())
        plan->report = 0;
    if (plan->report < 0 || plan->report >= kReportRates)
        return refuse("[Error] getMouseConfig report");
    next[kReportRateByte] = char(plan->report);

    // DPI stages.
    if (profile.contains(PD::kDpi)) {
        const QJsonObject dpi = profile.value(PD::kDpi).toObject();
        for (const QJsonValue& v : dpi.value(PD::kDpiValue).toArray()) {
            const QJsonObject stage = v.toObject();
            plan->enable << stage.value(PD::kEnable).toBool();
            plan->values << stage.value(PD::kCurrentValue).toInt();
        }
        int stage = -1;
        if (locked()) {
            const int index = dpi.value(PD::kCurrentIndex).toInt();
            if (index < 0 || index >= plan->enable.size())
                return refuse("[Error] getMouseConfig currentIndex");
            stage = int(std::count(plan->enable.cbegin(), plan->enable.cbegin() + index, true));
            if (stage >= int(plan->enable.count(true)))
                return refuse("[Error] getMouseConfig currentIndex");
        }
        if (!planDpi(plan->values, plan->enable, stage, next))
            return refuse("[Error] getMouseConfig setDpiList");
        plan->hasDpi = true;
    }

    // Light mode, colour, speed and brightness.
    plan->lightMode = PD::modeIndex(profile, PD::kLightModel, 0);
    if (plan->lightMode < 0 || plan->lightMode >= kLightModes)
        return refuse("[Error] getMouseConfig setLightModel");
    next[kLightAttributeByte] = char(kLightAttribute[plan->lightMode]);
    next[kLightModeByte] = char(plan->lightMode);
    const QJsonObject light = profile.value(PD::kLight).toArray().at(plan->lightMode).toObject();
    int r = 0, g = 0, b = 0;
    if (!PD::colorFromText(light.value(PD::kColors).toArray().at(0).toString(), &r, &g, &b))
        return refuse("[ERROR] setRGB");
    next[kColourByte] = char(r);
    next[kColourByte + 1] = char(g);
    next[kColourByte + 2] = char(b);
    plan->colour = KLightModelItem::colorValueToText(r, g, b);
    plan->speed = light.value(PD::kSpeed).toInt();
    plan->brightness = light.value(PD::kBrightness).toInt();
    if (locked()) {
        if (!validSpeed(plan->speed) || !validBrightness(plan->brightness))
            return refuse("[Error] getMouseConfig speed or brightness");
        next[kLightSpeedByte] = char(kLockedSpeedMax - plan->speed);
        next[kLightBrightnessByte] = char(plan->brightness);
    } else if (validSpeed(plan->speed) && validBrightness(plan->brightness)) {
        // The speed and brightness a save took from the device go back to it, or the profile would not apply
        // back to the device it was saved from. Values outside the device's ranges leave its own.
        next[kLightSpeedByte] = char(plan->speed);
        next[kLightBrightnessByte] = char(plan->brightness);
    }

    // Buttons.
    if (profile.contains(PD::kKey)) {
        QVector<PD::KeyEntry> entries;
        QString error;
        if (!PD::keyEntries(profile, &entries, &error)) {
            qDebug() << error;
            return refuse("[Error] setFunction");
        }
        for (const PD::KeyEntry& entry : entries) {
            const int key = entry.key;
            const int function = entry.funcIndex;
            KeyChange change;
            if (function == KFuncMacro) {
                PD::Macro macro;
                ApplyPlan::MacroKey m;
                if (!PD::macroFromValue(entry.value1, &macro, &error)
                    || !encodeMacro(macro.events, macro.ignoreTime, &m.events, &m.records))
                    return refuse("[Error] getMouseConfig setMacro");
                if (locked()) {
                    if (!checkMacroId(key, &m.slot))
                        return refuse("[Error] getMouseConfig checkMacroId");
                } else if (!chooseMacroSlot(next, plan->slotTable, key, &m.slot)) {
                    return refuse("[Error] getMouseConfig checkMacroId");
                }
                m.key = key;
                m.name = macro.name;
                m.playCode = playCodeOf(macro.playType);
                m.repeat = m.playCode == kPlayCodeCycles ? qBound(0, macro.times, 0xFFFF) : 1;
                UlverdKeyCodec::Parameters p;
                p.slot = m.slot;
                p.playCode = m.playCode;
                p.repeat = m.repeat;
                UlverdKeyCodec::Code code;
                const int entryIndex = entryOfKey(key);
                if (entryIndex < 0 || !UlverdKeyCodec::encode(m_dialect, KFuncMacro, key, p, &code))
                    return refuse("[Error] getMouseConfig setKeyFuntion");
                next.replace(keyEntryByte(entryIndex), kKeyEntrySize, QByteArray(kKeyEntrySize, '\0'));
                for (int i = 0; i < kKeyCodeSize; ++i)
                    next[keyEntryByte(entryIndex) + i] = char(code.bytes[i]);
                m.change.key = key;
                m.change.type = KFuncMacro;
                m.change.setType = true;
                std::copy(code.bytes, code.bytes + kKeyCodeSize, m.change.code);
                plan->macros << m;
                continue;
            }
            // A modifier function (Ctrl+A saved as Ctrl) carries its combination as a key combination does.
            const bool combination = locked() ? isVariantCombination(function)
                                              : function == KFuncKeyCombination || isModifierFunction(function);
            if (combination) {
                int mask = 0, usage = 0;
                if (!PD::compositeFromValue(entry.value1, &mask, &usage) || mask > KMaskAll
                    || !planFunction(next, plan->slotTable, key, function, mask, usage, &change))
                    return refuse("[Error] getMouseConfig setCompositeKey");
                qDebug() << "[Info] setCompositeKey" << "KKeyFunction:" << function << "key:" << key;
            } else if (locked() && function == KFuncKeyboardKey) {
                if (!entry.value1.isDouble()
                    || !planFunction(next, plan->slotTable, key, function, 0, entry.value1.toInt(), &change))
                    return refuse("[Error] setKeyboardKey error");
            } else {
                if (!planFunction(next, plan->slotTable, key, function, QVariant(), QVariant(), &change))
                    return refuse("[Error] setFunction");
                qDebug() << "[Info] setFunction " << "KKeyFunction:" << function << "key:" << key;
            }
            plan->keys << change;
        }
    }
    plan->image = next;
    return true;
}

bool HDeviceUlverd::commitProfile(ApplyPlan& plan, MouseOperation& op)
{
    auto fail = [&plan](const char* message) {
        plan.failure = message;
        return false;
    };
    QList<KeyChange> done;
    for (const ApplyPlan::MacroKey& m : plan.macros) {
        if (sendMacro(m.slot, m.events, m.records) != 1)
            return fail("[Error] getMouseConfig setMacro");
        {
            QMutexLocker lock(&m_stateLock);
            m_playCode = m.playCode;
            m_repeat = m.repeat;
        }
        QByteArray withMacro = image();
        const int entry = keyEntryByte(entryOfKey(m.key));
        withMacro.replace(entry, kKeyEntrySize, plan.image.mid(entry, kKeyEntrySize));
        if (!commitImage(withMacro))
            return fail("[Error] getMouseConfig setKeyFuntion");
        done << m.change;
    }
    if (!commitImage(plan.image)) {
        // The macro keys the mouse took stay as they are, in the image and in the key editor.
        m_session.post(MouseSession::keyItemsTask(done));
        return fail("[Error] writeData");
    }
    {
        QMutexLocker lock(&m_stateLock);
        m_macroSlots = plan.slotTable;
    }
    op.onSuccess(MouseSession::keyItemsTask(done + plan.keys));
    if (locked())
        return op.finish(true);
    // The root shows the profile's report rate, stages, light and macro names.
    const int report = plan.report;
    const bool hasDpi = plan.hasDpi;
    const QVector<bool> enable = plan.enable;
    const QVector<int> values = plan.values;
    const int mode = plan.lightMode;
    const int speed = plan.speed;
    const int brightness = plan.brightness;
    const QString colour = plan.colour;
    QStringList names;
    for (const ApplyPlan::MacroKey& m : plan.macros)
        names << m.name;
    op.onSuccess([report, hasDpi, enable, values, mode, speed, brightness, colour, names] {
        AppServices* services = AppServices::instance();
        if (KReportModel* model = services->getReportModel())
            model->setCurrentReport(report);
        if (KDpiModel* model = services->getDpiModel(); model && hasDpi) {
            model->setEnable(enable);
            model->setValues(values);
            emit model->valuesChanged();
        }
        if (KLightModel* model = services->getLightModel(); model && model->logo()) {
            KLightModelItem* logo = model->logo();
            logo->setModel(mode, true);
            logo->setSpeed(speed, true);
            logo->setBrightness(brightness, true);
            logo->setColor(colour, true);
        }
        if (HMacroType* type = services->getMacroType()) {
            for (const QString& name : names)
                type->setMacroName(name);
        }
    });
    return op.finish(true);
}
