// Showing a profile in the user-interface models: report rate, DPI stages, the light zones, the per-key
// lights and the keys take the profile's values, each with its change signal so the pages follow. Talks to
// no device, but for a main light the profile keeps no speed and brightness for: those are read from the
// device on the pool. GUI thread.

#include "profiles/KConfigFileController.h"

#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/FKeyLightModelItem.h"
#include "models/device/KImageModel.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/HMacroType.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "profiles/KeyCodeTables.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>

namespace PD = ProfileDocument;

namespace {

bool lightEntryHasBrightness(const QJsonObject& entry)
{
    return entry.contains(PD::kBrightness);
}

// A zone item takes the mode, its speed and brightness, and its colour where the entry keeps a readable one.
// False when the profile keeps no entry for the mode (or no mode): the item then keeps what it showed.
bool showLight(KLightModelItem* item, const QJsonObject& profile, const QString& modeSection,
               const QString& lightSection)
{
    if (!item || !PD::isPresentSection(profile, modeSection))
        return false;
    const int mode = PD::modeIndex(profile, modeSection, 0);
    item->setModel(mode, true);
    PD::LightEntry entry;
    if (!PD::lightEntry(profile, lightSection, mode, &entry)
        || !lightEntryHasBrightness(profile.value(lightSection).toArray().at(mode).toObject()))
        return false;
    item->setSpeed(entry.speed, true);
    item->setBrightness(entry.brightness, true);
    int r = 0, g = 0, b = 0;
    if (!entry.colors.isEmpty() && PD::colorFromText(entry.colors.first(), &r, &g, &b))
        item->setColor(KLightModelItem::colorValueToText(r, g, b), true);
    return true;
}

} // namespace

bool KConfigFileController::getMouseType(QString path)
{
    QJsonObject profile;
    if (!initJsonObj(path, profile))
        return false;
    AppServices* app = AppServices::instance();

    if (KReportModel* report = app->getReportModel(); report && PD::isPresentSection(profile, PD::kReport)) {
        report->setCurrentReport(profile.value(PD::kReport).toObject().value(PD::kIndex).toInt());
        emit report->currentReportChanged();
    }

    if (KDpiModel* dpi = app->getDpiModel(); dpi && PD::isPresentSection(profile, PD::kDpi)) {
        const QJsonObject section = profile.value(PD::kDpi).toObject();
        QVector<bool> enable;
        QVector<int> values;
        for (const QJsonValue& level : section.value(PD::kDpiValue).toArray()) {
            enable << level.toObject().value(PD::kEnable).toBool();
            values << level.toObject().value(PD::kCurrentValue).toInt();
        }
        dpi->setEnable(enable);
        dpi->setValues(values);
        emit dpi->valuesChanged();
        // The profile and the page count the current stage over all stages; the device is told it counted
        // over the stages switched on. Going through the device's count keeps the two in step: a current
        // stage that is switched off shows the stage the device then uses.
        const int current = qBound(0, section.value(PD::kCurrentIndex).toInt(), enable.size());
        // A device that keeps no current stage shows none: the page would switch stages through it.
        const KImageModel* image = app->getImageModel();
        if (image && !image->hasCurrentDpi())
            dpi->setCurrentIndex(-1);
        else
            dpi->setCurrentIndex(
                dpi->stageOfDeviceIndex(int(std::count(enable.cbegin(), enable.cbegin() + current, true))));
        emit dpi->currentIndexChanged();
    }

    KLightModel* lights = app->getLightModel();
    KLightModelItem* logo = lights ? lights->logo() : nullptr;
    // A main light the profile keeps no speed and brightness for shows the device's, not 0 (which draws every
    // key of the preview dark while the keyboard shines); so does its mode when the profile has none.
    if (!showLight(logo, profile, PD::kLightModel, PD::kLight) && logo
        && (PD::isPresentSection(profile, PD::kLightModel) || !logo->index().isEmpty())) {
        const bool modeKnown = PD::isPresentSection(profile, PD::kLightModel);
        if (KBaseDevice* device = currentDevice()) {
            const QPointer<KLightModelItem> item(logo);
            m_work.run(
                [device, modeKnown] {
                    return QVector<int>{modeKnown ? -1 : device->getLightModel(0), device->getLightSpeed(0),
                                        device->getLightBrightness(0)};
                },
                [item](QVector<int> read) {
                    if (!item || read.size() != 3)
                        return;
                    if (read.at(0) >= 0)
                        item->setModel(read.at(0), true);
                    if (read.at(1) >= 0)
                        item->setSpeed(read.at(1), true);
                    if (read.at(2) >= 0)
                        item->setBrightness(read.at(2), true);
                });
        }
    }
    showLight(lights ? lights->wheel() : nullptr, profile, PD::kWheelLightModel, PD::kWheelLight);
    if (logo && PD::isPresentSection(profile, PD::kLogoLightModel))
        logo->setLogoModel(PD::modeIndex(profile, PD::kLogoLightModel, 0), true);

    // Per-key lights, matched by key; a key the model does not show is skipped.
    if (FKeyLightModel* keyLights = app->getKeyLightModel(); keyLights && PD::isPresentSection(profile, PD::kKeyLight)) {
        QMap<int, FKeyLightModelItem*> byKey;
        for (const QVariant& value : keyLights->keyLightList()) {
            if (auto* item = value.value<FKeyLightModelItem*>())
                byKey.insert(item->key(), item);
        }
        const bool keyboard = isKeyboardPid(currentPid());
        for (const QJsonValue& value : profile.value(PD::kKeyLight).toArray()) {
            const QJsonObject element = value.toObject();
            FKeyLightModelItem* item = byKey.value(element.value(PD::kKey).toInt(-1));
            if (!item)
                continue;
            if (keyboard)
                item->setBrightness(element.value(PD::kValue1).toInt(), true);
            else
                item->setColor(element.value(PD::kColors).toString(), true);
        }
    }

    // Keys: each shows its function, with the macro's name or the combination's key.
    if (KKeyModel* keyModel = app->getKeyModel()) {
        QMap<int, KKeyModelItem*> byKey;
        for (const QVariant& value : keyModel->getKeyList()) {
            if (auto* item = value.value<KKeyModelItem*>())
                byKey.insert(item->getKey(), item);
        }
        HMacroType* macroType = app->getMacroType();
        const QJsonArray keys = profile.value(PD::kKey).toArray();
        for (int p = 0; p < keys.size(); ++p) {
            const QJsonObject element = keys.at(p).toObject();
            const PD::KeyEntry entry{element.value(PD::kKey).toInt(-1), element.value(PD::kFuncIndex).toInt(),
                                     element.value(PD::kValue1)};
            if (p == 0)
                qDebug() << "keyobj:" << entry.value1.toObject().value(PD::kMacroName).toString();
            KKeyModelItem* item = byKey.value(entry.key);
            if (!item)
                continue;
            // A multi-macro key shows as a macro key named after all its macros.
            if (entry.funcIndex == PD::kFunctionMacro || (p == 0 && PD::isMultiMacroEntry(entry))) {
                if (macroType)
                    macroType->setMacroName(entry.value1.toObject().value(PD::kMacroName).toString(), true);
                item->setType(PD::kFunctionMacro, true, QString());
            } else if (isModifierFunction(entry.funcIndex)) {
                const QJsonObject combination = QJsonDocument::fromJson(entry.value1.toString().toUtf8()).object();
                item->setType(entry.funcIndex, true, hidUsageToKeyName(combination.value(PD::kValue2).toInt()));
            } else if (entry.funcIndex == PD::kFunctionKeyboardKeys) {
                item->setType(entry.funcIndex, true, hidUsageToKeyName(entry.value1.toInt()));
            } else {
                item->setType(entry.funcIndex, true, QString());
            }
        }
    }

    if (logo) {
        if (profile.contains(PD::kOperatingMode))
            logo->setOperatingMode(profile.value(PD::kOperatingMode).toInt(), true);
        if (profile.contains(PD::kLightDirection))
            logo->setLightDirection(profile.value(PD::kLightDirection).toBool(), true);
        if (profile.contains(PD::kLightMonochromatic))
            logo->setLightMonochromatic(profile.value(PD::kLightMonochromatic).toBool(), true);
        if (logo->shortCutStrList().size() > 3)
            logo->setShortCutModel(3, true);
    }
    return true;
}
