// Saving the device's state into a profile: the whole state, or one section after a single device write.
// Runs on a pool thread inside a profile routine; the values that come from the user-interface models were
// taken on the GUI thread when the routine started (TaskContext). A failed device read ends the routine
// before anything is written, so the file keeps what it held.

#include "profiles/KConfigFileController.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "hid/KBaseDevice.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/FKeyLightModelItem.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KeyAssignmentRules.h"
#include "profiles/JsonFileReader.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace PD = ProfileDocument;

namespace {

// The sections of the one-section save (the code the models send after a device write).
enum ProfileSection {
    SectionDpi = 0,
    SectionKey = 1,
    SectionLightSpeed = 2,
    SectionLightBrightness = 3,
    SectionLightColor = 4,
    SectionLightModel = 5,
    SectionReport = 6,
    SectionWheelSpeed = 7,
    SectionWheelBrightness = 8,
    SectionWheelColor = 9,
    SectionWheelModel = 10,
    SectionShortCut = 11,
    SectionKeyBrightness = 12,
    SectionLogoModel = 13,
    SectionDisableUpdate = 14,
    SectionOperatingMode = 15,
    SectionKeyColor = 16,
    SectionLightDirection = 17,
    SectionLightMonochromatic = 18,
};

// What a light save refreshes in the current mode's entry.
enum LightPart { LightAll, LightSpeed, LightBrightness, LightColor };

// How the "enable" flags of the DPI levels are chosen.
enum DpiFlags { DpiAllOn, DpiPacked, DpiNonZero };

// A macro file's object; false when there is no path or the file is no JSON object.
bool readMacro(const QString& path, QJsonObject* macro)
{
    QJsonDocument document;
    if (path.isEmpty() || !readJsonDocument(path, &document) || !document.isObject()) {
        qDebug() << "[Error] key entry: no macro file" << path;
        return false;
    }
    *macro = document.object();
    return true;
}

// The copy of a macro that a key entry holds: the events member by member and the play settings.
QJsonObject macroCopy(const QJsonObject& macro)
{
    QJsonArray list;
    for (const QJsonValue& value : macro.value(PD::kMacroList).toArray())
        list.append(KMacroItem::fromJson(value.toObject()).toJson());
    QJsonObject copy;
    copy.insert(PD::kMacroList, list);
    copy.insert(PD::kMacroIgnoreTime, macro.value(PD::kMacroIgnoreTime).toBool());
    const QJsonValue playType = macro.value(PD::kMacroPlayType);
    copy.insert(PD::kMacroPlayType, playType.isDouble() ? QString::number(playType.toInt()) : playType.toString());
    copy.insert(PD::kMacroTimes, macro.value(PD::kMacroTimes).toInt());
    return copy;
}

const QString& modeSection(int zone)
{
    return zone == 0 ? PD::kLightModel : PD::kWheelLightModel;
}

const QString& lightSection(int zone)
{
    return zone == 0 ? PD::kLight : PD::kWheelLight;
}

} // namespace

bool KConfigFileController::savePrologue(const QString& path, QJsonObject& profile, const TaskContext& context)
{
    // Without a device nothing is read and nothing is written.
    if (!context.device || !initJsonObj(path, profile))
        return false;
    const QFileInfo file(path);
    if (file.exists())
        PD::replaceMember(profile, PD::kUpdateAt, PD::stamp(file.lastModified()));
    const int version = context.device->getFwVersion();
    if (version == -1)
        return false;
    PD::replaceMember(profile, PD::kFwVersion, version);
    return true;
}

bool KConfigFileController::saveDpi(QJsonObject& profile, bool allEnabled, bool packFlags,
                                    const TaskContext& context)
{
    const QVector<int> values = context.device->getDpiList();
    if (values.isEmpty())
        return false;
    const DpiFlags flags = allEnabled ? DpiAllOn : packFlags ? DpiPacked : DpiNonZero;
    // Packed: as many levels from the front are on as the user interface has switched on, wherever they are.
    const int switchedOn = int(std::count(context.dpiEnable.cbegin(), context.dpiEnable.cend(), true));
    QJsonArray levels;
    for (int i = 0; i < values.size(); ++i) {
        const bool on = flags == DpiAllOn ? true : flags == DpiPacked ? i < switchedOn : values.at(i) != 0;
        levels.append(QJsonObject{{PD::kCurrentValue, values.at(i)}, {PD::kEnable, on}});
    }
    QJsonObject dpi = profile.value(PD::kDpi).toObject();
    int current = context.device->getDpiIndex();
    if (current == -1 && !context.hasCurrentDpi) {
        // A device that keeps no current stage answers none: the profile keeps the stage it names.
        current = qBound(0, dpi.value(PD::kCurrentIndex).toInt(0), qMax(0, int(values.size()) - 1));
    }
    if (current == -1)
        return false;
    dpi.insert(PD::kDpiValue, levels);
    dpi.insert(PD::kCurrentIndex, current);
    profile.insert(PD::kDpi, dpi);
    return true;
}

bool KConfigFileController::saveLight(QJsonObject& profile, int zone, bool fromDevice, int what,
                                      const TaskContext& context)
{
    KBaseDevice* device = context.device;
    int mode = -1;
    if (fromDevice) {
        mode = device->getLightModel(zone);
        if (mode == -1)
            return false;
        PD::replaceMember(profile, modeSection(zone), QJsonObject{{PD::kIndex, mode}});
        // The main zone's entries are refreshed only where the profile keeps them.
        if (zone == 0 && !PD::isPresentSection(profile, lightSection(zone)))
            return true;
    } else {
        mode = PD::modeIndex(profile, modeSection(zone), -1);
    }
    QJsonArray lights = profile.value(lightSection(zone)).toArray();
    if (mode >= 0 && mode == lights.size() && !lights.isEmpty()) {
        // The mode right past the entries (the RGB keyboard's custom mode past its factory profile's eight)
        // gets an entry of its own, filled from the device like the others; otherwise its speed and brightness
        // would be kept nowhere and show as 0.
        QJsonObject added{{PD::kModel, mode}};
        const QJsonArray firstColors = lights.first().toObject().value(PD::kColors).toArray();
        if (!firstColors.isEmpty())
            added.insert(PD::kColors, firstColors);
        lights.append(added);
        what = LightAll;
    }
    // A mode without an entry has nothing to refresh.
    if (mode < 0 || mode >= lights.size() || !lights.at(mode).isObject())
        return true;
    QJsonObject entry = lights.at(mode).toObject();

    if (what == LightAll) {
        const int speed = device->getLightSpeed(zone);
        const int brightness = device->getLightBrightness(zone);
        if (speed == -1 || brightness == -1)
            return false;
        entry.insert(PD::kSpeed, speed);
        entry.insert(PD::kBrightness, brightness);
    } else if (what == LightSpeed || what == LightBrightness) {
        const int value = what == LightSpeed ? device->getLightSpeed(zone) : device->getLightBrightness(zone);
        if (value == -1)
            return false;
        entry.insert(what == LightSpeed ? PD::kSpeed : PD::kBrightness, value);
    }

    QJsonArray colors = entry.value(PD::kColors).toArray();
    // The main zone's colour is kept only by models with colour lights (their entries hold one); the wheel's
    // is always written.
    const bool writeColor = what == LightColor || (what == LightAll && (zone != 0 || !colors.isEmpty()));
    if (writeColor) {
        const QMap<QString, int> rgb = device->getRGB(zone);
        if (rgb.isEmpty())
            return false;
        if (!colors.isEmpty())
            colors.removeFirst();
        colors.append(PD::colorText(rgb.value(QStringLiteral("r")), rgb.value(QStringLiteral("g")),
                                    rgb.value(QStringLiteral("b"))));
        entry.insert(PD::kColors, colors);
    }
    lights.replace(mode, entry);
    profile.insert(lightSection(zone), lights);
    return true;
}

bool KConfigFileController::writeKeyEntry(QJsonObject& element, const KKeyModelItem& item, bool multiMacro,
                                          bool isRestore, int documentPid, const TaskContext& context,
                                          bool multiMacroFirst)
{
    const int type = item.getType();
    element.insert(PD::kFuncIndex, type);
    const bool macroKey = type == PD::kFunctionMacro && !(multiMacroFirst && multiMacro);
    if (macroKey && isRestore) {
        element.insert(PD::kValue1, QString());
        return true;
    }
    if (macroKey) {
        QJsonObject macro;
        // A macro the program has no file for (set by another program, or a file since removed) keeps what
        // the profile holds for the key: the device still plays it.
        if (!readMacro(context.keyMacroMap.value(item.getKey()), &macro))
            return true;
        QJsonObject value1 = macroCopy(macro);
        value1.insert(PD::kMacroName, macro.value(PD::kMacroName).toString());
        element.insert(PD::kValue1, value1);
        return true;
    }
    if (multiMacro && !isRestore) {
        // Without a selection of macro files the profile's macros are the ones on the device: keep them.
        if (context.multiMacro.isEmpty())
            return true;
        QJsonObject value1;
        for (int n = 0; n < context.multiMacro.size(); ++n) {
            QJsonObject macro;
            if (!readMacro(context.multiMacro.at(n), &macro))
                return false;
            value1.insert(PD::kMultiMacroPrefix + QString::number(n + 1), macroCopy(macro));
        }
        value1.insert(PD::kMacroName, context.macroName);
        element.insert(PD::kValue1, value1);
        return true;
    }
    if (isModifierFunction(type)) {
        int first = item.getValue2();
        int second = item.getValue3();
        if (DeviceIds::combinationInCodeBytes(documentPid)) {
            first = isSwappedModifierPid(documentPid) ? KeyAssignmentRules::swapCtrlShift(item.getValue3())
                                                       : item.getValue3();
            second = item.getValue4();
        }
        element.insert(PD::kValue1, PD::compositeToValue(element.value(PD::kValue1), first, second));
        return true;
    }
    if (type == PD::kFunctionKeyboardKeys) {
        element.insert(PD::kValue1, item.getValue3());
        return true;
    }
    element.insert(PD::kValue1, QString());
    return true;
}

bool KConfigFileController::saveKeys(QJsonObject& profile, bool isRestore, const TaskContext& context)
{
    QJsonArray keys = profile.value(PD::kKey).toArray();
    if (keys.isEmpty())
        return true;
    const QMap<KKey, KKeyModelItem> items = context.device->getKeys();
    if (items.isEmpty())
        return false;
    // A multi-macro is held by the first key only; a restore leaves macros out.
    bool multiMacro = false;
    if (!isRestore) {
        const int defined = context.device->getDefinedPressMacro();
        if (defined == -1)
            return false;
        multiMacro = defined != 0;
    }
    const int documentPid = profile.value(PD::kPid).toInt();
    for (int i = 0; i < keys.size(); ++i) {
        QJsonObject element = keys.at(i).toObject();
        const KKey key = KKey(element.value(PD::kKey).toInt(-1));
        // A key the device does not report keeps its entry.
        if (!keys.at(i).isObject() || !items.contains(key))
            continue;
        if (!writeKeyEntry(element, items.value(key), i == 0 && multiMacro, isRestore, documentPid, context))
            return false;
        keys.replace(i, element);
    }
    profile.insert(PD::kKey, keys);
    return true;
}

bool KConfigFileController::saveKeySection(QJsonObject& profile, int key, const TaskContext& context)
{
    QJsonArray keys = profile.value(PD::kKey).toArray();
    int index = -1;
    for (int i = 0; i < keys.size() && index < 0; ++i) {
        if (keys.at(i).toObject().value(PD::kKey).toInt(-1) == key)
            index = i;
    }
    // A key the profile does not list leaves the section as it is.
    if (index < 0)
        return true;
    const QMap<KKey, KKeyModelItem> items = context.device->getKeys();
    if (items.isEmpty())
        return false;
    if (!items.contains(KKey(key)))
        return true;
    bool multiMacro = false;
    if (index == 0) {
        const int defined = context.device->getDefinedPressMacro();
        if (defined == -1)
            return false;
        multiMacro = defined != 0;
    }
    QJsonObject element = keys.at(index).toObject();
    if (!writeKeyEntry(element, items.value(KKey(key)), multiMacro, false, profile.value(PD::kPid).toInt(), context))
        return false;
    keys.replace(index, element);
    profile.insert(PD::kKey, keys);
    return true;
}

bool KConfigFileController::saveKeyLights(QJsonObject& profile, bool brightness, int onlyKey,
                                          const TaskContext& context)
{
    QJsonArray lights = profile.value(PD::kKeyLight).toArray();
    const H_KEYLIGHT map = brightness ? context.device->getKeyBrightness() : context.device->getKeyColor();
    if (map.isEmpty())
        return false;
    for (int i = 0; i < lights.size(); ++i) {
        QJsonObject element = lights.at(i).toObject();
        const int key = element.value(PD::kKey).toInt(-1);
        if (onlyKey >= 0 && key != onlyKey)
            continue;
        // A key the device does not report keeps its entry.
        if (lights.at(i).isObject() && map.contains(KKey(key))) {
            const FKeyLightModelItem item = map.value(KKey(key));
            if (brightness)
                element.insert(PD::kValue1, item.brightness());
            else
                element.insert(PD::kColors, item.color());
            lights.replace(i, element);
        }
        if (onlyKey >= 0)
            break;
    }
    profile.insert(PD::kKeyLight, lights);
    return true;
}

bool KConfigFileController::saveMouseConfig(const QString& path, bool isRestore, const TaskContext& context)
{
    QJsonObject profile;
    if (!savePrologue(path, profile, context))
        return false;
    KBaseDevice* device = context.device;
    const int documentPid = profile.value(PD::kPid).toInt();

    if (PD::isPresentSection(profile, PD::kReport)) {
        const int rate = device->getReportRate();
        if (rate == -1)
            return false;
        PD::replaceMember(profile, PD::kReport, QJsonObject{{PD::kIndex, rate}});
    }
    if (PD::isPresentSection(profile, PD::kDpi) && !saveDpi(profile, isRestore, isPackedValuePid(documentPid), context))
        return false;
    if (PD::isPresentSection(profile, PD::kLightModel) && !saveLight(profile, 0, true, LightAll, context))
        return false;
    if (PD::isPresentSection(profile, PD::kWheelLightModel) && !saveLight(profile, 1, true, LightAll, context))
        return false;
    if (profile.contains(PD::kLightShortCut))
        profile.insert(PD::kLightShortCut, context.shortCutModel);
    if (profile.contains(PD::kOperatingMode))
        profile.insert(PD::kOperatingMode, context.operatingMode);
    if (!saveKeys(profile, isRestore, context))
        return false;
    if (PD::isPresentSection(profile, PD::kLogoLightModel)) {
        const int logo = device->getLogoLightMode(0);
        if (logo == -1)
            return false;
        PD::replaceMember(profile, PD::kLogoLightModel, QJsonObject{{PD::kIndex, logo}});
    }
    if (PD::isPresentSection(profile, PD::kKeyLight)
        && !saveKeyLights(profile, isKeyboardPid(context.pid), -1, context))
        return false;
    if (profile.contains(PD::kLightDirection))
        profile.insert(PD::kLightDirection, context.lightDirection);
    if (profile.contains(PD::kLightMonochromatic))
        profile.insert(PD::kLightMonochromatic, context.lightMonochromatic);

    qDebug() << "set JsonObj:" << profile;
    return syncToFile(path, profile);
}

bool KConfigFileController::saveMouseConfigItem(const QString& path, int section, int key,
                                                const TaskContext& context)
{
    QJsonObject profile;
    if (!savePrologue(path, profile, context))
        return false;
    KBaseDevice* device = context.device;
    bool ok = true;
    switch (section) {
    case SectionDpi: ok = saveDpi(profile, false, true, context); break;
    case SectionKey: ok = saveKeySection(profile, key, context); break;
    case SectionLightSpeed: ok = saveLight(profile, 0, false, LightSpeed, context); break;
    case SectionLightBrightness: ok = saveLight(profile, 0, false, LightBrightness, context); break;
    case SectionLightColor: ok = saveLight(profile, 0, false, LightColor, context); break;
    case SectionLightModel: ok = saveLight(profile, 0, true, LightAll, context); break;
    case SectionWheelSpeed: ok = saveLight(profile, 1, false, LightSpeed, context); break;
    case SectionWheelBrightness: ok = saveLight(profile, 1, false, LightBrightness, context); break;
    case SectionWheelColor: ok = saveLight(profile, 1, false, LightColor, context); break;
    case SectionWheelModel: ok = saveLight(profile, 1, true, LightAll, context); break;
    case SectionReport: {
        const int rate = device->getReportRate();
        ok = rate != -1;
        if (ok)
            PD::replaceMember(profile, PD::kReport, QJsonObject{{PD::kIndex, rate}});
        break;
    }
    case SectionShortCut: profile.insert(PD::kLightShortCut, context.shortCutModel); break;
    case SectionLogoModel:
        PD::replaceMember(profile, PD::kLogoLightModel, QJsonObject{{PD::kIndex, context.logoModel}});
        break;
    case SectionOperatingMode: profile.insert(PD::kOperatingMode, context.operatingMode); break;
    case SectionKeyBrightness: ok = saveKeyLights(profile, true, key, context); break;
    case SectionKeyColor: ok = saveKeyLights(profile, false, key, context); break;
    case SectionLightDirection: profile.insert(PD::kLightDirection, device->getLightDirection()); break;
    case SectionLightMonochromatic:
        profile.insert(PD::kLightMonochromatic, device->getLightMonochromatic());
        break;
    default:
        // Only the stamp and the firmware version change.
        break;
    }
    if (!ok)
        return false;
    return syncToFile(path, profile);
}

bool KConfigFileController::saveModelConfigItem(QString path, const int& section, const int& key)
{
    AppServices* app = AppServices::instance();
    QJsonObject profile;
    if (!initJsonObj(path, profile))
        return false;
    const QFileInfo file(path);
    if (file.exists())
        PD::replaceMember(profile, PD::kUpdateAt, PD::stamp(file.lastModified()));
    // The version shown, as a number (text that is no number reads as 0).
    const int version = deviceVersion().toInt();
    if (version == -1)
        return false;
    PD::replaceMember(profile, PD::kFwVersion, version);

    const TaskContext context = snapshot();
    const KDpiModel* dpi = app->getDpiModel();
    const KLightModel* lights = app->getLightModel();
    const KLightModelItem* zoneItem[2] = {lights ? lights->logo() : nullptr, lights ? lights->wheel() : nullptr};
    // A light entry of a zone from the zone's item: the mode the profile names, or the item's own for a mode
    // section; the colour without its '#'.
    auto lightFromItem = [&](int zone, int what) {
        const KLightModelItem* item = zoneItem[zone];
        if (!item)
            return false;
        const QString& modeKey = zone == 0 ? PD::kLightModel : PD::kWheelLightModel;
        const QString& arrayKey = zone == 0 ? PD::kLight : PD::kWheelLight;
        int mode = PD::modeIndex(profile, modeKey, -1);
        if (what == LightAll) {
            mode = item->model();
            PD::replaceMember(profile, modeKey, QJsonObject{{PD::kIndex, mode}});
        }
        QJsonArray entries = profile.value(arrayKey).toArray();
        if (mode < 0 || mode >= entries.size())
            return true;
        QJsonObject entry = entries.at(mode).toObject();
        if (what == LightAll || what == LightSpeed)
            entry.insert(PD::kSpeed, item->speed());
        if (what == LightAll || what == LightBrightness)
            entry.insert(PD::kBrightness, item->brightness());
        QJsonArray colors = entry.value(PD::kColors).toArray();
        if (what == LightColor || (what == LightAll && (zone != 0 || !colors.isEmpty()))) {
            if (!colors.isEmpty())
                colors.removeFirst();
            colors.append(item->color().remove(QLatin1Char('#')));
            entry.insert(PD::kColors, colors);
        }
        entries.replace(mode, entry);
        profile.insert(arrayKey, entries);
        return true;
    };

    bool ok = true;
    switch (section) {
    case SectionDpi: {
        if (!dpi || dpi->values().isEmpty() || (dpi->currentIndex() == -1 && context.hasCurrentDpi))
            return false;
        const QVector<int> values = dpi->values();
        const bool packed = isPackedValuePid(profile.value(PD::kPid).toInt());
        const int switchedOn = int(std::count(context.dpiEnable.cbegin(), context.dpiEnable.cend(), true));
        QJsonArray levels;
        for (int i = 0; i < values.size(); ++i)
            levels.append(QJsonObject{{PD::kCurrentValue, values.at(i)},
                                      {PD::kEnable, packed ? i < switchedOn : values.at(i) != 0}});
        QJsonObject object = profile.value(PD::kDpi).toObject();
        object.insert(PD::kDpiValue, levels);
        // Without a current stage on the device the profile keeps the one it names.
        if (dpi->currentIndex() != -1)
            object.insert(PD::kCurrentIndex, dpi->currentIndex());
        profile.insert(PD::kDpi, object);
        break;
    }
    case SectionKey: {
        const KKeyModel* keyModel = app->getKeyModel();
        KKeyModelItem* item = nullptr;
        if (keyModel) {
            for (const QVariant& value : keyModel->getKeyList()) {
                auto* candidate = value.value<KKeyModelItem*>();
                if (candidate && candidate->getKey() == key)
                    item = candidate;
            }
        }
        QJsonArray keys = profile.value(PD::kKey).toArray();
        int index = -1;
        for (int i = 0; i < keys.size() && index < 0; ++i) {
            if (keys.at(i).toObject().value(PD::kKey).toInt(-1) == key)
                index = i;
        }
        if (!item || index < 0)
            return false;
        QJsonObject element = keys.at(index).toObject();
        const bool multiMacro = index == 0 && keyModel->getDefinedMacroIndex() != 0;
        if (!writeKeyEntry(element, *item, multiMacro, false, profile.value(PD::kPid).toInt(), context, true))
            return false;
        keys.replace(index, element);
        profile.insert(PD::kKey, keys);
        break;
    }
    case SectionLightSpeed: ok = lightFromItem(0, LightSpeed); break;
    case SectionLightBrightness: ok = lightFromItem(0, LightBrightness); break;
    case SectionLightColor: ok = lightFromItem(0, LightColor); break;
    case SectionLightModel: ok = lightFromItem(0, LightAll); break;
    case SectionWheelSpeed: ok = lightFromItem(1, LightSpeed); break;
    case SectionWheelBrightness: ok = lightFromItem(1, LightBrightness); break;
    case SectionWheelColor: ok = lightFromItem(1, LightColor); break;
    case SectionWheelModel: ok = lightFromItem(1, LightAll); break;
    case SectionReport: {
        const KReportModel* report = app->getReportModel();
        if (!report)
            return false;
        PD::replaceMember(profile, PD::kReport, QJsonObject{{PD::kIndex, report->currentReport()}});
        break;
    }
    case SectionShortCut: profile.insert(PD::kLightShortCut, context.shortCutModel); break;
    case SectionLogoModel:
        PD::replaceMember(profile, PD::kLogoLightModel, QJsonObject{{PD::kIndex, context.logoModel}});
        break;
    case SectionOperatingMode: profile.insert(PD::kOperatingMode, context.operatingMode); break;
    case SectionDisableUpdate: profile.insert(PD::kDisableUpdate, app->getDisableUpdate()); break;
    case SectionKeyBrightness:
    case SectionKeyColor: {
        const FKeyLightModel* keyLights = app->getKeyLightModel();
        if (!keyLights)
            return false;
        const QString color = keyLights->currentColor();
        if (section == SectionKeyColor && color.isEmpty())
            return false;
        int level = -1;
        for (const QVariant& value : keyLights->keyLightList()) {
            const auto* item = value.value<FKeyLightModelItem*>();
            if (item && item->key() == key)
                level = item->brightness();
        }
        QJsonArray entries = profile.value(PD::kKeyLight).toArray();
        for (int i = 0; i < entries.size(); ++i) {
            QJsonObject element = entries.at(i).toObject();
            if (element.value(PD::kKey).toInt(-1) != key)
                continue;
            if (section == SectionKeyColor)
                element.insert(PD::kColors, color);
            else if (level >= 0)
                element.insert(PD::kValue1, level);
            entries.replace(i, element);
            break;
        }
        profile.insert(PD::kKeyLight, entries);
        break;
    }
    default:
        // The light switches have no model-based form; any other code changes only the stamp and version.
        break;
    }
    if (!ok)
        return false;
    return syncToFile(path, profile);
}
