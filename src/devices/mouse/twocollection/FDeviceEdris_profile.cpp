// Applying a whole profile document to a two-collection mouse in two steps. The plan reads the whole document,
// checks every value with the rules the setters use and builds the profile image and macro records it asks
// for, without I/O, so a document the mouse cannot take changes nothing. The commit then writes the macro
// records and finally the whole image, which carries every setting and key code at once. The object's profile
// and the models follow only once the mouse has taken everything; a failure part-way leaves the profile as
// the mouse last acknowledged it.

#include "devices/mouse/twocollection/FDeviceEdris.h"

#include "common/AppServices.h"
#include "models/device/FOledModel.h"
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

using namespace Edris;
namespace PD = ProfileDocument;

namespace {

constexpr int kReportRates = 4;

struct ZonePlan {
    bool present = false;
    int effect = 0;
    int speed = 0;
    int brightness = 0;
    QString colour;
};

} // namespace

struct FDeviceEdris::ApplyPlan {
    struct MacroWrite {
        quint8 address = 0;
        EdrisMacroStruct record;
    };

    QByteArray profile;
    QList<MacroWrite> macros;
    QList<KeyChange> keys;
    QStringList macroNames;
    int playCode = -1;          // of the last macro key, for the keys assigned later
    int report = -1;
    bool hasDpi = false;
    QVector<bool> enable;
    QVector<int> values;
    ZonePlan zones[2];
    const char* failure = nullptr;
};

int FDeviceEdris::getMouseConfig(QJsonObject document)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return ProfileFailed;
    ApplyPlan plan;
    if (!planProfile(document, op.ui(), &plan) || !commitPlan(plan, op)) {
        if (plan.failure)
            qDebug() << plan.failure;
        return ProfileFailed;
    }
    return ProfileApplied;
}

bool FDeviceEdris::planProfile(const QJsonObject& document, const MouseUiState& ui, ApplyPlan* plan)
{
    auto refuse = [plan](const char* message) {
        plan->failure = message;
        return false;
    };
    QByteArray next = profile();

    // Report rate.
    if (document.contains(PD::kReport)) {
        const QJsonValue index = document.value(PD::kReport).toObject().value(PD::kIndex);
        if (!PD::isInteger(index) || index.toInt() < 0 || index.toInt() >= kReportRates)
            return refuse("[Error] getMouseConfig report");
        plan->report = index.toInt();
        next[kReportRateByte] = char(plan->report);
    }

    // DPI stages: each element's value goes to its stage.
    if (document.contains(PD::kDpi)) {
        const QJsonArray stages = document.value(PD::kDpi).toObject().value(PD::kDpiValue).toArray();
        if (stages.size() > m_model.stages)
            return refuse("[Error] getMouseConfig setDpiList");
        for (const QJsonValue& v : stages) {
            const QJsonObject stage = v.toObject();
            const QJsonValue value = stage.value(PD::kCurrentValue);
            if (!PD::isInteger(value) || !validDpiValue(value.toInt()))
                return refuse("[Error] getMouseConfig setDpiList");
            plan->enable << stage.value(PD::kEnable).toBool();
            plan->values << value.toInt();
        }
        storeDpi(next, plan->values);
        plan->hasDpi = true;
    }

    // The two light zones.
    const QString modelSections[2] = {PD::kLightModel, PD::kWheelLightModel};
    const QString lightSections[2] = {PD::kLight, PD::kWheelLight};
    for (int zone = kMainZone; zone <= kWheelZone; ++zone) {
        if (!document.contains(modelSections[zone]))
            continue;
        ZonePlan& z = plan->zones[zone];
        z.effect = PD::modeIndex(document, modelSections[zone], -1);
        PD::LightEntry light;
        int r = 0, g = 0, b = 0;
        if (z.effect < 0 || z.effect >= kLightEffects || !PD::lightEntry(document, lightSections[zone], z.effect, &light)
            || light.colors.isEmpty() || !PD::colorFromText(light.colors.first(), &r, &g, &b)
            || light.speed < 0 || light.speed > kSpeedMax || light.brightness < 0 || light.brightness > 0xFF)
            return refuse("[Error] getMouseConfig setLightModel");
        z.present = true;
        z.speed = light.speed;
        z.brightness = light.brightness;
        z.colour = KLightModelItem::colorValueToText(r, g, b);
        const int block = zone == kMainZone ? kMainLightByte : kWheelLightByte;
        next[zone == kMainZone ? kMainEffectByte : kWheelEffectByte] = char(kLightEffectCodes[z.effect]);
        if (z.effect == kEffectNoColourBlend)
            next[block + kLightClearEffect2Offset] = 0;
        if (z.effect == kEffectMarked)
            next[block + kLightEffect4Offset] = char(kEffect4Mark);
        next[block + kLightSpeedOffset] = char(kSpeedBase - z.speed);
        next[zone == kMainZone ? kMainBrightnessByte : kWheelBrightnessByte] = char(z.brightness);
        next[block + kLightRedOffset] = char(r);
        next[block + kLightRedOffset + 1] = char(g);
        next[block + kLightRedOffset + 2] = char(b);
        next[block + kLightClearOffset] = 0;
        next[block + kLightClearEffect2Offset] = 0;
    }

    // Buttons.
    if (document.contains(PD::kKey)) {
        QVector<PD::KeyEntry> entries;
        QString error;
        if (!PD::keyEntries(document, &entries, &error)) {
            qDebug() << error;
            return refuse("[Error] setFunction");
        }
        const QJsonArray raw = document.value(PD::kKey).toArray();
        int playCode;
        {
            QMutexLocker lock(&m_stateLock);
            playCode = m_playCode;
        }
        for (int n = 0; n < entries.size(); ++n) {
            const PD::KeyEntry& entry = entries.at(n);
            const int key = entry.key;
            const int function = entry.funcIndex;
            KeyChange change;
            if (function == KFuncMacro && entry.value1.isObject()) {
                PD::Macro macro;
                ApplyPlan::MacroWrite write;
                const int place = placeOf(key);
                write.address = getButtonMacroAddress(key);
                if (place == kNoPlace || write.address == 0)
                    return refuse("[Error] getMouseConfig checkMacroId");
                if (!PD::macroFromValue(entry.value1, &macro, &error)
                    || !EdrisMacro::encode(macro.events, macro.ignoreTime, macro.times, &write.record))
                    return refuse("[Error] getMouseConfig setMacro");
                playCode = playModeCode(macro.playType);
                KKeyCode code;
                if (!keyFunctionToCode(KFuncMacro, &code, quint8(playCode), write.address))
                    return refuse("[Error] getMouseConfig setKeyFuntion");
                const std::array<quint8, 4> bytes = code.bytes();
                for (int i = 0; i < 4; ++i)
                    next[place + i] = char(bytes[i]);
                change.key = key;
                change.type = KFuncMacro;
                change.setType = true;
                std::copy(bytes.begin(), bytes.end(), change.code);
                plan->macros << write;
                plan->macroNames << macro.name;
                plan->playCode = playCode;
            } else if (function == KFuncMouseLeft && entry.value1.isObject() && !entry.value1.toObject().isEmpty()) {
                // Press macros: the left button plays up to three macros from the slots 1000 on.
                const QJsonObject value = entry.value1.toObject();
                if (key != 0 || placeOf(0) == kNoPlace)
                    return refuse("[Error] setMacroFunction setKeyFunction");
                int count = 0;
                for (int i = 1; i <= kProfilePressMacros; ++i) {
                    const QJsonValue macroValue = value.value(QStringLiteral("%1%2").arg(PD::kMultiMacroPrefix).arg(i));
                    if (macroValue.isUndefined())
                        continue;
                    PD::Macro macro;
                    ApplyPlan::MacroWrite write;
                    write.address = getButtonMacroAddress(kFirstPressMacroSlot + count);
                    if (!PD::macroFromValue(macroValue, &macro, &error)
                        || !EdrisMacro::encode(macro.events, macro.ignoreTime, macro.times, &write.record))
                        return refuse("[Error] getMouseConfig setMultiMacroFunction setMacro");
                    plan->macros << write;
                    playCode = playModeCode(macro.playType);
                    plan->playCode = playCode;
                    ++count;
                }
                const int place = placeOf(0);
                next[kPressMacroFlagByte] = 0;
                next[kPressMacroCountByte] = char(count);
                for (int i = 0; i < 4; ++i)
                    next[place + i] = char(kPressMacroCode[i]);
                change.key = key;
                change.type = KFuncMacro;
                change.setType = true;
                std::copy(kPressMacroCode, kPressMacroCode + 4, change.code);
                const QString name = value.value(PD::kMacroName).toString();
                if (!name.isEmpty())
                    plan->macroNames << name;
            } else if (function == KFuncKeyCombination || isModifierFunction(function)) {
                // The mask and usage: "value1" and "value2", or the text of a modifier key's value. A modifier
                // function (Ctrl+A saved as Ctrl) carries its combination the same way.
                int mask = 0, usage = 0;
                const QJsonObject object = raw.at(n).toObject();
                if (entry.value1.isString()) {
                    if (!PD::compositeFromValue(entry.value1, &mask, &usage))
                        return refuse("[Error] getMouseConfig setCompositeKey");
                } else if (PD::isInteger(entry.value1) && (object.value(PD::kValue2).isUndefined()
                                                          || PD::isInteger(object.value(PD::kValue2)))) {
                    mask = entry.value1.toInt();
                    usage = object.value(PD::kValue2).toInt();
                } else {
                    return refuse("[Error] getMouseConfig setCompositeKey");
                }
                qDebug() << "[Info] setCompositeKey" << "KKeyFunction:" << function << "key:" << key;
                if (!planCompositeKey(next, ui.keyList, key, function, mask, usage, &change))
                    return refuse("[Error] getMouseConfig setCompositeKey");
            } else {
                qDebug() << "[Info] setFunction " << "KKeyFunction:" << function << "key:" << key;
                const int mask = PD::isInteger(entry.value1) ? entry.value1.toInt() : 0;
                if (!planCompositeKey(next, ui.keyList, key, function, mask, 0, &change))
                    return refuse("[Error] setFunction");
            }
            plan->keys << change;
        }
    }

    // The final write also shows the first picture.
    for (const PictureCodeRow& row : kPictureCodes) {
        if (row.index == kProfilePictureIndex)
            next[kPictureCodeByte] = char(row.code);
    }
    plan->profile = next;
    return true;
}

bool FDeviceEdris::commitPlan(ApplyPlan& plan, MouseOperation& op)
{
    auto fail = [&plan](const char* message) {
        plan.failure = message;
        return false;
    };
    for (const ApplyPlan::MacroWrite& write : plan.macros) {
        if (!SetMacroStruct(write.record, write.address))
            return fail("[Error] getMouseConfig setMacro");
    }
    if (plan.playCode >= 0) {
        QMutexLocker lock(&m_stateLock);
        m_playCode = plan.playCode;
    }
    if (!commitProfile(plan.profile))
        return fail("[Error] getMouseConfig setCurrentPicIndex");

    op.onSuccess(MouseSession::keyItemsTask(plan.keys));
    const int report = plan.report;
    const bool hasDpi = plan.hasDpi;
    const QVector<bool> enable = plan.enable;
    const QVector<int> values = plan.values;
    const ZonePlan mainZone = plan.zones[kMainZone], wheelZone = plan.zones[kWheelZone];
    const QStringList names = plan.macroNames;
    op.onSuccess([report, hasDpi, enable, values, mainZone, wheelZone, names] {
        AppServices* services = AppServices::instance();
        if (KReportModel* model = services->getReportModel(); model && report >= 0)
            model->setCurrentReport(report);
        if (KDpiModel* model = services->getDpiModel(); model && hasDpi) {
            model->setEnable(enable);
            model->setValues(values);
            emit model->valuesChanged();
        }
        if (KLightModel* model = services->getLightModel()) {
            const ZonePlan* plans[2] = {&mainZone, &wheelZone};
            KLightModelItem* items[2] = {model->logo(), model->wheel()};
            for (int zone = 0; zone < 2; ++zone) {
                if (!items[zone] || !plans[zone]->present)
                    continue;
                items[zone]->setModel(plans[zone]->effect, true);
                items[zone]->setSpeed(plans[zone]->speed, true);
                items[zone]->setBrightness(plans[zone]->brightness, true);
                items[zone]->setColor(plans[zone]->colour, true);
            }
        }
        if (HMacroType* type = services->getMacroType()) {
            for (const QString& name : names)
                type->setMacroName(name);
        }
        if (FOledModel* oled = services->getOledModel())
            oled->setOledMode(kProfilePictureIndex);
    });
    return op.finish(true);
}
