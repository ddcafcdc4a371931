#include "models/device/KLightModelItem.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "models/device/CurrentDevice.h"
#include "models/device/FBattreyModel.h"
#include "models/device/FOledModel.h"
#include "models/device/KLightModel.h"

#include <QDebug>
#include <QMap>

#include <iterator>

namespace {

constexpr int kLoadingMs = 2000;
// The preset position that stands for "no preset": manual changes select it.
constexpr int kNoPreset = 3;
constexpr int kMainZone = 0;
constexpr int kWheelZone = 1;

// Profile sections of the light settings.
constexpr int kSectionSpeed = 2;
constexpr int kSectionBrightness = 3;
constexpr int kSectionColors = 4;
constexpr int kSectionMode = 5;
constexpr int kSectionWheelSpeed = 7;
constexpr int kSectionWheelBrightness = 8;
constexpr int kSectionWheelColors = 9;
constexpr int kSectionWheelMode = 10;
constexpr int kSectionLogo = 13;
constexpr int kSectionOperatingMode = 15;
constexpr int kSectionDirection = 17;
constexpr int kSectionMonochromatic = 18;

const QString kCategory = AnalyticsEvents::kDeviceLight;

} // namespace

// How one numeric setting is written, logged, reported and saved.
struct KLightModelItem::SettingSpec {
    const char* requestLog;
    bool requestWithName;
    const char* failureLog;
    const char* action;      // event action of a device write
    const char* localAction; // event action of a write to the item only
    bool resetsPreset;       // a manual change leaves any preset
    bool logsModel;          // a confirmed write logs "model:"
    bool eventBeforeWarning;
    int section;
    int wheelSection; // -1: the setting has no wheel zone
    bool (KBaseDevice::*write)(const int&, int);
    void (KLightModelItem::*notify)();
};

const KLightModelItem::SettingSpec& KLightModelItem::settingSpec(Setting setting)
{
    using namespace AnalyticsEvents;
    static const SettingSpec specs[] = {
        {"[Info] write writeSpeed:", false, "[ERROR] write setLightSpeed:", kSpeed, kSpeed, false, false, true,
         kSectionSpeed, kSectionWheelSpeed, &KBaseDevice::setLightSpeed, &KLightModelItem::speedChanged},
        {"[Info] write writeBrightness:", true, "[ERROR] write setLightBrightness:", kBrightness, kBrightness,
         true, false, false, kSectionBrightness, kSectionWheelBrightness, &KBaseDevice::setLightBrightness,
         &KLightModelItem::brightnessChanged},
        {"[Info] write writeModel:", true, "[ERROR] write writeModel:", kModel, kModel, true, false, false,
         kSectionMode, kSectionWheelMode, &KBaseDevice::setLightModel, &KLightModelItem::modelChanged},
        {"[Info] write writeShortCutModel:", true, "[ERROR] write writeShortCutModel:", kShortcutModel,
         kShortcutModel, false, true, false, kSectionMode, -1, &KBaseDevice::setShortCutModel,
         &KLightModelItem::shortCutModelChanged},
        {"[Info] write logoModel:", false, "[ERROR] write logoModel:", kLogoModel, kLogoModelChanged, false, true,
         false, kSectionLogo, -1, &KBaseDevice::setLogoLightMode, &KLightModelItem::logoModelChanged},
        {"[Info] write writeOperatingMode:", false, "[ERROR] write writeOperatingMode:", kOperatingMode,
         kOperatingMode, false, true, false, kSectionOperatingMode, -1, &KBaseDevice::setOperatingMode,
         &KLightModelItem::operatingModeChanged},
    };
    return specs[setting];
}

KLightModelItem::KLightModelItem(QObject* parent)
    : QObject(parent)
    , m_defaultColor({"#ff456e", "#ff9000", "#ceff42", "#43ff42", "#0299be", "#0371b4", "#82319a", "#27d0f7",
                      "#4267ff", "#c22aff"})
    , m_index({0, 1, 2, 3, 4, 5})
    , m_text({"Turn off light", "Spectrum cycling", "Breathing mode", "The light is always on", "APM mode",
              "Color mode", "APM breathing mode", "7-color cycling marquee", "RGB glitter"})
    , m_speedState({false, false, true, false, true, true, true})
    , m_brightnessState({false, false, false, true, false, false})
    , m_logoModeText({"The light is always on", "Breathing mode", "Turn off light"})
{
}

KLightModelItem::~KLightModelItem() = default;

void KLightModelItem::setName(const QString& value, bool notify)
{
    m_name = value;
    if (notify)
        emit nameChanged();
}

void KLightModelItem::setModel(int value, bool notify)
{
    m_model = value;
    if (notify)
        emit modelChanged();
}

void KLightModelItem::setSpeed(int value, bool notify)
{
    m_speed = value;
    if (notify)
        emit speedChanged();
}

void KLightModelItem::setBrightness(int value, bool notify)
{
    m_brightness = value;
    if (notify)
        emit brightnessChanged();
}

void KLightModelItem::setShortCutModel(int value, bool notify)
{
    m_shortCutModel = value;
    if (notify)
        emit shortCutModelChanged();
}

void KLightModelItem::setOledBrightness(int value, bool notify)
{
    m_oledBrightness = value;
    if (notify)
        emit oledBrightnessChanged();
}

void KLightModelItem::setColor(const QString& value, bool notify)
{
    m_color = value;
    if (notify)
        emit colorChanged();
}

void KLightModelItem::setBrightnessMax(int value, bool notify)
{
    m_brightnessMax = value;
    if (notify)
        emit brightnessMaxChanged();
}

void KLightModelItem::setBrightnessMin(int value, bool notify)
{
    m_brightnessMin = value;
    if (notify)
        emit brightnessMinChanged();
}

void KLightModelItem::setSpeedMax(int value, bool notify)
{
    m_speedMax = value;
    if (notify)
        emit speedMaxChanged();
}

void KLightModelItem::setSpeedMin(int value, bool notify)
{
    m_speedMin = value;
    if (notify)
        emit speedMinChanged();
}

void KLightModelItem::setDefaultColor(const QVector<QString>& value, bool notify)
{
    m_defaultColor = value;
    if (notify)
        emit defaultColorChanged();
    if (notify)
        emit sig_defaultColorChanged(m_defaultColor);
}

void KLightModelItem::setIndex(const QVector<int>& value, bool notify)
{
    m_index = value;
    if (notify)
        emit indexChanged();
}

void KLightModelItem::setText(const QVector<QString>& value, bool notify)
{
    m_text = value;
    if (notify)
        emit textChanged();
}

void KLightModelItem::setSpeedState(const QVector<bool>& value, bool notify)
{
    m_speedState = value;
    if (notify)
        emit speedStateChanged();
}

void KLightModelItem::setBrightnessState(const QVector<bool>& value, bool notify)
{
    m_brightnessState = value;
    if (notify)
        emit brightnessStateChanged();
}

void KLightModelItem::setModelStrList(const QStringList& value, bool notify)
{
    m_modelStrList = value;
    if (notify)
        emit modelStrListChanged();
}

void KLightModelItem::setModelStrWidth(const QVector<int>& value, bool notify)
{
    m_modelStrWidth = value;
    if (notify)
        emit modelStrWidthChanged();
}

void KLightModelItem::setShortCutStrList(const QStringList& value, bool notify)
{
    m_shortCutStrList = value;
    if (notify)
        emit shortCutStrListChanged();
}

void KLightModelItem::setLogoModel(int value, bool notify)
{
    m_logoModel = value;
    if (notify)
        emit logoModelChanged();
}

void KLightModelItem::setLightBtnX(const QVector<int>& value, bool notify)
{
    m_lightBtnX = value;
    if (notify)
        emit lightBtnXChanged();
}

void KLightModelItem::setLightBtnY(const QVector<int>& value, bool notify)
{
    m_lightBtnY = value;
    if (notify)
        emit lightBtnYChanged();
}

void KLightModelItem::setLogoModeText(const QStringList& value, bool notify)
{
    m_logoModeText = value;
    if (notify)
        emit logoModeTextChanged();
}

void KLightModelItem::setHasOperatingMode(bool value, bool notify)
{
    m_hasOperatingMode = value;
    if (notify)
        emit hasOperatingModeChanged();
}

void KLightModelItem::setOperatingMode(int value, bool notify)
{
    m_operatingMode = value;
    if (notify)
        emit operatingModeChanged();
}

void KLightModelItem::setOperatingModeList(const QStringList& value, bool notify)
{
    m_operatingModeList = value;
    if (notify)
        emit operatingModeListChanged();
}

void KLightModelItem::setLightDirection(bool value, bool notify)
{
    m_lightDirection = value;
    if (notify)
        emit lightDirectionChanged();
}

void KLightModelItem::setLightMonochromatic(bool value, bool notify)
{
    m_lightMonochromatic = value;
    if (notify)
        emit lightMonochromaticChanged();
}


// --- numeric settings -----------------------------------------------------------------------------------------

bool KLightModelItem::inRange(Setting setting, int v) const
{
    switch (setting) {
    case Speed:
        return v >= m_speedMin && v <= m_speedMax;
    case Brightness:
        return v >= m_brightnessMin && v <= m_brightnessMax;
    case Model:
        return v >= 0 && v < m_index.size();
    case ShortCut:
        return v >= 0 && v < m_shortCutStrList.size();
    case Logo:
        return v >= 0 && v < m_logoModeText.size();
    case Operating:
        return v >= 0 && v < m_operatingModeList.size();
    }
    return false;
}

int KLightModelItem::value(Setting setting) const
{
    switch (setting) {
    case Speed:
        return m_speed;
    case Brightness:
        return m_brightness;
    case Model:
        return m_model;
    case ShortCut:
        return m_shortCutModel;
    case Logo:
        return m_logoModel;
    case Operating:
        return m_operatingMode;
    }
    return 0;
}

void KLightModelItem::store(Setting setting, int v)
{
    switch (setting) {
    case Speed:
        setSpeed(v, true);
        break;
    case Brightness:
        setBrightness(v, true);
        break;
    case Model:
        setModel(v, true);
        break;
    case ShortCut:
        setShortCutModel(v, true);
        break;
    case Logo:
        setLogoModel(v, true);
        break;
    case Operating:
        setOperatingMode(v, true);
        break;
    }
}

void KLightModelItem::sendEvent(const QString& action, const QString& label) const
{
    AppServices::instance()->sendEvent(kCategory, action, label);
}

void KLightModelItem::beforeStore(Setting setting, int v, bool confirmed)
{
    const SettingSpec& s = settingSpec(setting);
    if (confirmed && s.logsModel)
        qDebug().noquote() << "model:" << v;
    if (s.resetsPreset)
        writeShortCutModel(kNoPreset, false);
    sendEvent(QLatin1String(confirmed ? s.action : s.localAction), QString::number(v));
}

KBaseDevice* KLightModelItem::writableDevice()
{
    return CurrentDevice::writable();
}

void KLightModelItem::saveSection(int section) const
{
    AppServices::instance()->saveProfileSection(section, -1);
}

bool KLightModelItem::numericWrite(Setting setting, int v, int zone, bool write)
{
    const SettingSpec& s = settingSpec(setting);
    if (!inRange(setting, v)) {
        emit(this->*s.notify)();
        return false;
    }
    if (v == value(setting))
        return true;
    if (!write) {
        beforeStore(setting, v, false);
        store(setting, v);
        return true;
    }

    if (s.requestWithName)
        qDebug().noquote() << s.requestLog << v << m_name;
    else
        qDebug().noquote() << s.requestLog << v;
    KBaseDevice* device = writableDevice();
    if (!device) {
        // Nothing to write to: no busy indicator, and the control shows the kept value again.
        qDebug() << "[Error] no device to write the light setting to";
        emit(this->*s.notify)();
        return false;
    }
    const int section = (zone == kWheelZone && s.wheelSection >= 0) ? s.wheelSection : s.section;
    AppServices::instance()->startLoading(kLoadingMs);
    m_work.run(s.write, device, v, zone, [this, setting, v, section](bool ok) {
        const SettingSpec& s = settingSpec(setting);
        if (!ok) {
            qDebug().noquote() << s.failureLog << v;
            if (s.eventBeforeWarning)
                sendEvent(QLatin1String(s.action), AnalyticsEvents::kFail);
            AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
            if (!s.eventBeforeWarning)
                sendEvent(QLatin1String(s.action), AnalyticsEvents::kFail);
            const int kept = value(setting);
            store(setting, -1);
            store(setting, kept);
        } else {
            beforeStore(setting, v, true);
            store(setting, v);
            if (setting == ShortCut)
                applyPreset(v);
            saveSection(section);
        }
        AppServices::instance()->stopLoading();
    });
    return true;
}

bool KLightModelItem::writeSpeed(int speed, int mod, bool write)
{
    return numericWrite(Speed, speed, mod, write);
}

bool KLightModelItem::writeBrightness(int brightness, int mode, bool write)
{
    return numericWrite(Brightness, brightness, mode, write);
}

bool KLightModelItem::writeModel(int model, int mode, bool write)
{
    return numericWrite(Model, model, mode, write);
}

bool KLightModelItem::writeShortCutModel(int model, bool write)
{
    return numericWrite(ShortCut, model, kMainZone, write);
}

bool KLightModelItem::writeLogoModel(int model, bool write)
{
    return numericWrite(Logo, model, kMainZone, write);
}

bool KLightModelItem::writeOperatingMode(int mode, bool write)
{
    return numericWrite(Operating, mode, kMainZone, write);
}

void KLightModelItem::applyPreset(int preset)
{
    // What each preset sets in the models (the device switched itself); -1 leaves a value as it is.
    struct Preset {
        int oledMode, oledLight, brightness, model, powerSaving;
    };
    static constexpr Preset kPresets[] = {
        {1, 100, 10, 4, 0}, // full light
        {1, 80, 8, 4, 1},   // saving
        {9, -1, -1, 0, -1}, // dark
    };
    if (preset < 0 || preset >= int(std::size(kPresets)))
        return;
    const Preset& p = kPresets[preset];
    AppServices* app = AppServices::instance();
    if (FOledModel* oled = app->getOledModel()) {
        oled->setOledMode(p.oledMode);
        if (p.oledLight >= 0)
            oled->storeOledLight(p.oledLight, true);
    }
    KLightModel* lights = app->getLightModel();
    if (KLightModelItem* logo = lights ? lights->logo() : nullptr) {
        if (p.brightness >= 0)
            logo->setBrightness(p.brightness, true);
        logo->setModel(p.model, true);
    }
    if (FBattreyModel* battery = app->getBattreyModel(); battery && p.powerSaving >= 0)
        battery->setPower(p.powerSaving == 1);
}

// --- colour -------------------------------------------------------------------------------------------------

QString KLightModelItem::colorValueToText(int r, int g, int b)
{
    return QStringLiteral("#%1").arg(r * 65536 + g * 256 + b, 6, 16, QLatin1Char('0'));
}

QString KLightModelItem::changeRGBToText(int r, int g, int b, bool)
{
    const QLatin1Char zero('0');
    return QStringLiteral("%1%2%3").arg(r, 2, 16, zero).arg(g, 2, 16, zero).arg(b, 2, 16, zero);
}

QVector<int> KLightModelItem::changeTextToRGB(QString text, bool)
{
    QVector<int> values;
    const QStringList parts = text.remove(QLatin1Char('#')).split(QLatin1Char(','), Qt::KeepEmptyParts);
    for (const QString& part : parts) {
        for (int j = 2; j <= part.size(); j += 2) {
            bool ok = false;
            const int value = part.mid(j - 2, 2).toInt(&ok, 16);
            values << (ok ? value : 0);
        }
    }
    return values;
}

bool KLightModelItem::writeRGB(int r, int g, int b, int mode, bool write)
{
    const auto outside = [](int v) { return v < 0 || v > 255; };
    if (outside(r) || outside(g) || outside(b)) {
        emit colorChanged();
        return false;
    }
    const QString requested = colorValueToText(r, g, b);
    if (!write) {
        setColor(requested, true);
        return true;
    }

    qDebug().noquote() << "[Info] write writeRGB:" << r << g << b;
    KBaseDevice* device = writableDevice();
    if (!device) {
        qDebug() << "[Error] no device to write the light colour to";
        emit colorChanged();
        return false;
    }
    const QMap<QString, int> rgb{{QStringLiteral("r"), r}, {QStringLiteral("g"), g}, {QStringLiteral("b"), b}};
    const QString previous = m_color;
    const int section = mode == kWheelZone ? kSectionWheelColors : kSectionColors;
    AppServices::instance()->startLoading(kLoadingMs);
    m_work.run(&KBaseDevice::setRGB, device, rgb, mode,
               [this, r, g, b, device, requested, previous, section](bool ok) {
                   if (!ok) {
                       qDebug() << "[ERROR] write setRGB:";
                       AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
                       sendEvent(AnalyticsEvents::kRgb, AnalyticsEvents::kFail);
                       // The device keeps its colour, so the picker goes back to it, unless a newer
                       // request has taken the property over meanwhile.
                       const QString back = m_color == requested ? previous : m_color;
                       setColor(QString(), true);
                       setColor(back, true);
                   } else {
                       sendEvent(AnalyticsEvents::kRgb, AnalyticsEvents::rgbLabel(r, g, b));
                       saveSection(section);
                       refreshReportRate(device);
                   }
                   AppServices::instance()->stopLoading();
               });
    // The picker shows the requested colour while the device works on it.
    setColor(requested, true);
    return true;
}

void KLightModelItem::refreshReportRate(KBaseDevice* device)
{
    // Only the device that took the colour, and only while it is still the current one.
    if (device != writableDevice())
        return;
    m_work.run([device] { return device->getReportRate(); }, [this, device](int rate) {
        // A rate that could not be read is not written back.
        if (rate == -1 || device != writableDevice()) {
            qDebug() << "[Error] setReportIndex error";
            return;
        }
        m_work.run(&KBaseDevice::setReportRate, device, rate, [](bool ok) {
            if (!ok)
                qDebug() << "[Error] setReportIndex error";
        });
    });
}

// --- switches ------------------------------------------------------------------------------------------------

bool KLightModelItem::switchWrite(bool on, bool write, bool (KBaseDevice::*operation)(bool),
                                  bool (KLightModelItem::*get)() const,
                                  void (KLightModelItem::*set)(bool, bool), int section)
{
    if (on == (this->*get)())
        return false;
    if (!write) {
        (this->*set)(on, true);
        return true;
    }
    KBaseDevice* device = writableDevice();
    if (!device) {
        qDebug() << "[Error] no device to write the light switch to";
        (this->*set)((this->*get)(), true);
        return false;
    }
    AppServices::instance()->startLoading(kLoadingMs);
    m_work.run(operation, device, on, [this, on, get, set, section](bool ok) {
        if (!ok) {
            // Said to the user like every other failed setting.
            AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
            const bool kept = (this->*get)();
            (this->*set)(!kept, true);
            (this->*set)(kept, true);
        } else {
            (this->*set)(on, true);
            saveSection(section);
        }
        AppServices::instance()->stopLoading();
    });
    return true;
}

bool KLightModelItem::writeLightDirection(bool lightDirection, bool write)
{
    return switchWrite(lightDirection, write, &KBaseDevice::setLightDirection, &KLightModelItem::lightDirection,
                       &KLightModelItem::setLightDirection, kSectionDirection);
}

bool KLightModelItem::writeLightMonochromatic(bool lightMonochromatic, bool write)
{
    return switchWrite(lightMonochromatic, write, &KBaseDevice::setMonochromaticMode,
                       &KLightModelItem::lightMonochromatic, &KLightModelItem::setLightMonochromatic,
                       kSectionMonochromatic);
}

// --- changes made on the device -----------------------------------------------------------------------------

bool KLightModelItem::slot_currentChange(int mode, int brightness, int speed, int logo)
{
    Q_UNUSED(logo)
    // The device reports raw register values: one outside the layout's lists would select nothing the pages
    // can show, so it is not taken over.
    if (mode != m_model) {
        if (inRange(Model, mode)) {
            setModel(mode, true);
            saveSection(kSectionMode);
        } else {
            qDebug() << "[Error] light mode from the device out of range:" << mode;
        }
    }
    if (brightness != m_brightness) {
        if (inRange(Brightness, brightness)) {
            setBrightness(brightness, true);
            saveSection(kSectionBrightness);
        } else {
            qDebug() << "[Error] light brightness from the device out of range:" << brightness;
        }
    }
    if (speed != m_speed) {
        if (!writeSpeed(speed, kMainZone, true))
            return false;
        setSpeed(speed, true);
        saveSection(kSectionSpeed);
    }
    return true;
}
