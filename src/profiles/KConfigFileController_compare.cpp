// Comparing a profile with the device. Every value a save writes from the device is checked against the
// profile with the save's own mapping (the key entry rule, the colour text, the per-key light), so a profile
// saved from the device compares equal and any single change on the device is found. Only the first
// difference is reported. Runs on a pool thread inside a profile routine; nothing is written.

#include "profiles/KConfigFileController.h"

#include "hid/KBaseDevice.h"
#include "models/keys/KKeyModelItem.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

namespace PD = ProfileDocument;

namespace {

// A modifier key's "value1" text as the object it holds; two texts of one object compare equal however they
// are laid out.
QJsonObject compositeObject(const QJsonValue& value1)
{
    return QJsonDocument::fromJson(value1.toString().toUtf8()).object();
}

QString rgbText(const QMap<QString, int>& rgb)
{
    return PD::colorText(rgb.value(QStringLiteral("r")), rgb.value(QStringLiteral("g")),
                         rgb.value(QStringLiteral("b")));
}

} // namespace

bool KConfigFileController::contrastMouseConfig(const QString& path, const TaskContext& context)
{
    QString difference;
    if (!findDifference(path, context, &difference) || difference.isEmpty())
        return false;
    // A device unplugged meanwhile is not offered for saving or loading.
    if (context.device->isRemoved())
        return false;
    emit sendSignalToUser();
    return true;
}

bool KConfigFileController::findDifference(const QString& path, const TaskContext& context, QString* difference)
{
    KBaseDevice* device = context.device;
    QJsonObject profile;
    if (!device || !initJsonObj(path, profile))
        return false;
    auto differs = [difference](const QString& text) {
        qDebug().noquote() << text;
        *difference = text;
        return true;
    };
    // A value the device did not give: nothing can be said about it, and the log says so.
    auto unread = [](const char* what) {
        qDebug() << "[Error] profile compare: the device gave no" << what;
        return false;
    };

    // Report rate.
    if (PD::isPresentSection(profile, PD::kReport)) {
        const int rate = device->getReportRate();
        if (rate == -1)
            return unread("report rate");
        if (rate != profile.value(PD::kReport).toObject().value(PD::kIndex).toInt())
            return differs(QStringLiteral("contrastMouseConfig reportIndex"));
    }

    // DPI values: the save keeps every level's value, switched on or not, and the apply writes them all.
    if (PD::isPresentSection(profile, PD::kDpi)) {
        const QVector<int> values = device->getDpiList();
        if (values.isEmpty())
            return unread("DPI list");
        const QJsonArray levels = profile.value(PD::kDpi).toObject().value(PD::kDpiValue).toArray();
        for (int j = 0; j < levels.size(); ++j) {
            if (j >= values.size() || levels.at(j).toObject().value(PD::kCurrentValue).toInt() != values.at(j))
                return differs(QStringLiteral("contrastMouseConfig dpiList"));
        }
    }

    // The light zones: mode, then the mode's speed, brightness and colour (where the entry keeps one).
    for (int zone = 0; zone < 2; ++zone) {
        const QString& modeSection = zone == 0 ? PD::kLightModel : PD::kWheelLightModel;
        if (!PD::isPresentSection(profile, modeSection))
            continue;
        const QString prefix = zone == 0 ? QStringLiteral("contrastMouseConfig light")
                                         : QStringLiteral("contrastMouseConfig wheellight");
        if (zone == 1)
            qDebug() << "wheel";
        const int mode = PD::modeIndex(profile, modeSection, -1);
        const int deviceMode = device->getLightModel(zone);
        if (deviceMode == -1)
            return unread("light mode");
        if (deviceMode != mode)
            return differs(prefix + QStringLiteral("Model"));
        PD::LightEntry entry;
        // A mode without an entry has nothing more to compare (a save leaves it so).
        if (!PD::lightEntry(profile, zone == 0 ? PD::kLight : PD::kWheelLight, mode, &entry))
            continue;
        const int speed = device->getLightSpeed(zone);
        if (speed == -1)
            return unread("light speed");
        if (speed != entry.speed) {
            qDebug().noquote() << prefix + QStringLiteral("Speed") << entry.speed << "deivce" << speed;
            *difference = prefix + QStringLiteral("Speed");
            return true;
        }
        const int brightness = device->getLightBrightness(zone);
        if (brightness == -1)
            return unread("light brightness");
        if (brightness != entry.brightness) {
            qDebug().noquote() << prefix + QStringLiteral("Brightness") << entry.brightness << "deivce" << brightness;
            *difference = prefix + QStringLiteral("Brightness");
            return true;
        }
        if (!entry.colors.isEmpty()) {
            const QMap<QString, int> rgb = device->getRGB(zone);
            if (rgb.isEmpty())
                return unread("light colour");
            if (rgbText(rgb) != entry.colors.first())
                return differs(prefix + QStringLiteral("Color"));
        }
    }

    // Keys: each element against what the key entry rule would write for the device's item.
    const QJsonArray keys = profile.value(PD::kKey).toArray();
    if (!keys.isEmpty()) {
        const QMap<KKey, KKeyModelItem> items = device->getKeys();
        if (items.isEmpty())
            return unread("keys");
        const int defined = device->getDefinedPressMacro();
        if (defined == -1)
            return unread("press macro count");
        const QJsonObject first = keys.first().toObject();
        const bool profileMulti = PD::isMultiMacroEntry(
            PD::KeyEntry{first.value(PD::kKey).toInt(), first.value(PD::kFuncIndex).toInt(), first.value(PD::kValue1)});
        if (profileMulti != (defined != 0))
            return differs(QStringLiteral("contrastMouseConfig multiMacro"));
        const int documentPid = profile.value(PD::kPid).toInt();
        // A multi-macro first key is compared by its count alone.
        for (int i = profileMulti ? 1 : 0; i < keys.size(); ++i) {
            const QJsonObject element = keys.at(i).toObject();
            const KKey key = KKey(element.value(PD::kKey).toInt(-1));
            // A key the device does not report is one a save leaves alone.
            if (!items.contains(key))
                continue;
            const KKeyModelItem item = items.value(key);
            const int function = element.value(PD::kFuncIndex).toInt();
            if (function != item.getType()) {
                qDebug() << "funcIndex:" << function << "type:" << item.getType();
                return differs(QStringLiteral("constrastMouseConfig mouseType"));
            }
            QJsonObject expected = element;
            if (!writeKeyEntry(expected, item, false, false, documentPid, context))
                return false;
            if (isModifierFunction(function)) {
                if (compositeObject(expected.value(PD::kValue1)) != compositeObject(element.value(PD::kValue1)))
                    return differs(QStringLiteral("contrastMouseConfig keyCompositeKey"));
            } else if (function == PD::kFunctionKeyboardKeys || function == PD::kFunctionMacro) {
                if (expected.value(PD::kValue1) != element.value(PD::kValue1))
                    return differs(function == PD::kFunctionMacro ? QStringLiteral("contrastMouseConfig keyMacro")
                                                                  : QStringLiteral("contrastMouseConfig keyBoardKey"));
            }
        }
    }

    // Logo light.
    if (PD::isPresentSection(profile, PD::kLogoLightModel)) {
        const int logo = device->getLogoLightMode(0);
        if (logo == -1)
            return unread("logo light");
        if (logo != PD::modeIndex(profile, PD::kLogoLightModel, -1))
            return differs(QStringLiteral("contrastMouseConfig logoLightModel"));
    }

    // Per-key light: the keyboard's brightness levels, the colour models' colours.
    if (PD::isPresentSection(profile, PD::kKeyLight)) {
        const bool keyboard = isKeyboardPid(context.pid);
        const H_KEYLIGHT map = keyboard ? device->getKeyBrightness() : device->getKeyColor();
        if (map.isEmpty())
            return unread("per-key light");
        for (const QJsonValue& value : profile.value(PD::kKeyLight).toArray()) {
            const QJsonObject element = value.toObject();
            const KKey key = KKey(element.value(PD::kKey).toInt(-1));
            if (!map.contains(key))
                continue;
            const FKeyLightModelItem item = map.value(key);
            if (keyboard && element.value(PD::kValue1).toInt() != item.brightness())
                return differs(QStringLiteral("contrastMouseConfig keyLight"));
            if (!keyboard && element.value(PD::kColors).toString() != item.color()) {
                qDebug() << "contrastMouseConfig KeyLight";
                qDebug() << "defaultConfig:" << element.value(PD::kColors).toString();
                qDebug() << "keyColor:" << item.color();
                *difference = QStringLiteral("contrastMouseConfig KeyLight");
                return true;
            }
        }
    }

    // The light switches, as the device holds them.
    if (profile.contains(PD::kLightDirection)) {
        const bool direction = device->getLightDirection();
        if (direction != profile.value(PD::kLightDirection).toBool()) {
            qDebug() << "contrastMouseConfig lightDirection";
            qDebug() << "device->lightDirection:" << direction;
            qDebug() << "json->lightDirection:" << profile.value(PD::kLightDirection).toBool();
            *difference = QStringLiteral("contrastMouseConfig lightDirection");
            return true;
        }
    }
    if (profile.contains(PD::kLightMonochromatic)) {
        const bool monochromatic = device->getLightMonochromatic();
        if (monochromatic != profile.value(PD::kLightMonochromatic).toBool()) {
            qDebug() << "contrastMouseConfig lightMonochromatic";
            qDebug() << "device->lightMonochromatic:" << monochromatic;
            qDebug() << "json->lightMonochromatic:" << profile.value(PD::kLightMonochromatic).toBool();
            *difference = QStringLiteral("contrastMouseConfig lightMonochromatic");
            return true;
        }
    }
    return true;
}
