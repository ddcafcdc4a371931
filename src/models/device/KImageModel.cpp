#include "models/device/KImageModel.h"

#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "models/device/CurrentDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonValue>

namespace {

constexpr int kDeviceTypeMouse = 1;
constexpr int kDeviceTypeKeyboard = 2;
// Lets the device settle before the pages are rebuilt from its document.
constexpr int kLayoutSettleMs = 100;

QString id(const QJsonObject& button, const char* member)
{
    return QString::number(button.value(QLatin1String(member)).toInt());
}

int scaled(const QJsonObject& object, const char* member)
{
    return AppServices::instance()->scaleLength(object.value(QLatin1String(member)).toInt());
}

QString text(const QJsonObject& object, const char* member)
{
    return object.value(QLatin1String(member)).toString();
}

// What the pages may draw of a list of buttons, by the button's id (its idMember as decimal text).
struct ButtonMaps {
    QVariantMap image, x, y, width, height, left, name;
};

ButtonMaps buttonMaps(const QJsonArray& buttons, const char* idMember)
{
    ButtonMaps maps;
    for (const QJsonValue& value : buttons) {
        const QJsonObject button = value.toObject();
        const QString k = id(button, idMember);
        maps.image.insert(k, text(button, "image"));
        maps.x.insert(k, scaled(button, "x"));
        maps.y.insert(k, scaled(button, "y"));
        maps.width.insert(k, scaled(button, "width"));
        maps.height.insert(k, scaled(button, "height"));
        maps.left.insert(k, button.value(QLatin1String("isLeft")).toBool());
        maps.name.insert(k, text(button, "name"));
    }
    return maps;
}

} // namespace

KImageModel::KImageModel(QObject* parent)
    : QObject(parent)
{
    connect(this, &KImageModel::sig_uiModelChange, this, &KImageModel::slot_uiModelChange);
}

KImageModel::~KImageModel() = default;

void KImageModel::deviceDataChange()
{
    KBaseDevice* device = KDeviceController::instance()->currentDevice();
    if (!device)
        return;
    m_device = device;
    CurrentDevice::readLayout(m_work, device, [this](QJsonObject layout) { emit sig_uiModelChange(layout); });
}

KBaseDevice* KImageModel::boundDevice() const
{
    KBaseDevice* current = KDeviceController::instance()->currentDevice();
    if (!m_device || m_device != current || current->isRemoved())
        return nullptr;
    return current;
}

void KImageModel::readDeviceVersion()
{
    // A reader bound to a device that has gone since would reach a device object about to be deleted.
    KBaseDevice* device = boundDevice();
    if (!device)
        return;
    m_work.run([device] { return device->getFwVersion(); },
               [this](int version) {
                   if (version == -1)
                       return;
                   qDebug().noquote() << QStringLiteral("Device FwVersion: %1").arg(version);
                   m_deviceVersion = QString::number(version);
                   emit versionChanged();
               });
}

void KImageModel::slot_currentModeChange(int mode)
{
    if (mode == 0 && m_isWireLess) {
        m_isWireLess = false;
        emit isWireLessChanged();
        AppServices::instance()->showTips(AppServices::TipSuccess, tr("The device has switched to USB mode"));
    } else if (mode == 1 && !m_isWireLess) {
        m_isWireLess = true;
        emit isWireLessChanged();
        AppServices::instance()->showTips(
            AppServices::TipSuccess, tr("The device has been switched to wireless mode, please switch to USB mode"));
    }
}

void KImageModel::slot_uiModelChange(QJsonObject layout)
{
    if (layout.isEmpty())
        return;
    Platform::sleepMs(kLayoutSettleMs);

    m_deviceName = text(layout, "deviceName");
    emit deviceNameChanged();
    m_hasOLED = layout.value(QLatin1String("hasOled")).toBool();
    emit hasOLEDChanged();
    if (m_hasOLED) {
        m_oledImg = text(layout, "oledImg");
        emit oledImgChanged();
    }
    m_hasWheel = layout.value(QLatin1String("hasWheel")).toBool();
    emit hasWheelChanged();
    m_deviceVersion = QStringLiteral("1");
    emit versionChanged();
    m_isWireLess = layout.value(QLatin1String("isWireLess")).toBool();
    emit isWireLessChanged();
    m_leftKeyMacro = layout.value(QLatin1String("leftKeyMacro")).toInt();
    emit leftKeyMacroChanged();
    m_hasLight = layout.value(QLatin1String("hasLight")).toBool();
    emit hasLightChanged();
    m_hasCurrentDpi = layout.value(QLatin1String("hasCurrentDpi")).toBool();
    emit hasCurrentDpiChanged();
    m_maxMacroLength = layout.value(QLatin1String("MaxMacroLenth")).toInt();
    emit maxMacroLengthChanged();
    m_deviceType = layout.value(QLatin1String("deviceType")).toInt();
    emit deviceTypeChanged();
    m_hasShortCut = layout.value(QLatin1String("hasShortCut")).toBool();
    emit hasShortCutChanged();

    const QJsonObject light = layout.value(QLatin1String("light")).toObject();
    const QJsonObject key = layout.value(QLatin1String("key")).toObject();
    if (m_deviceType == kDeviceTypeMouse) {
        readMouseLights(light);
        readMouseKeys(key);
    } else if (m_deviceType == kDeviceTypeKeyboard) {
        readKeyboardLights(light);
        readKeyboardKeys(key);
    }
    // Any other kind has no picture: the geometry of the previous device stays.
}

void KImageModel::readMouseLights(const QJsonObject& light)
{
    const QJsonArray buttons = light.value(QLatin1String("keyBtn")).toArray();
    if (buttons.isEmpty())
        return;
    m_lightSpeedBaseImg = text(light, "speedBaseImge");
    m_lightBrightnessBaseImg = text(light, "brightnessBaseImge");
    const ButtonMaps lights = buttonMaps(buttons, "index");
    m_lightImgMap = lights.image;
    m_lightKeyXMap = lights.x;
    m_lightKeyYMap = lights.y;
    m_lightEffectWidthMap = lights.width;
    m_lightEffectHeightMap = lights.height;
    m_lightLeftMap = lights.left;
    emit lightImgMapChanged();
    emit lightKeyXMapChanged();
    emit lightKeyYMapChanged();
    emit lightLeftMapChanged();
    emit lightEffectWidthMapChanged();
    emit lightEffectHeightMapChanged();
    emit lightBrightnessBaseImgChanged();
    emit lightSpeedBaseImgChanged();
}

void KImageModel::readMouseKeys(const QJsonObject& key)
{
    m_keyImgWidth = scaled(key, "width");
    m_keyImgHeight = scaled(key, "height");
    m_keyImgX = scaled(key, "x");
    m_keyImgY = scaled(key, "y");
    m_keyBaseImg = text(key, "keyBaseImge");
    const ButtonMaps keys = buttonMaps(key.value(QLatin1String("keyBtn")).toArray(), "key");
    m_keyImgMap = keys.image;
    m_keyXMap = keys.x;
    m_keyYMap = keys.y;
    m_keyLeftMap = keys.left;
    m_keyNameMap = keys.name;
    emit keyBaseImgChanged();
    emit keyImgMapChanged();
    emit keyXMapChanged();
    emit keyYMapChanged();
    emit keyLeftMapChanged();
    emit keyImgWidthChanged();
    emit keyImgHeightChanged();
    emit keyImgXChanged();
    emit keyImgYChanged();
    emit keyNameMapChanged();
}

void KImageModel::readKeyboardLights(const QJsonObject& light)
{
    m_lightSpeedBaseImg = text(light, "speedBaseImge");
    m_lightBrightnessBaseImg = text(light, "brightnessBaseImge");
    const QJsonArray zones = light.value(QLatin1String("keyBtn")).toArray();
    const ButtonMaps lights = buttonMaps(zones, "index");
    m_lightImgMap = lights.image;
    m_lightLeftMap = lights.left;
    // The light picture takes the geometry of the last zone.
    const QJsonObject last = zones.isEmpty() ? QJsonObject() : zones.last().toObject();
    m_lightImgX = scaled(last, "x");
    m_lightImgY = scaled(last, "y");
    m_lightImgWidth = scaled(last, "width");
    m_lightImgHeight = scaled(last, "height");
    emit lightBrightnessBaseImgChanged();
    emit lightSpeedBaseImgChanged();
    emit lightImgXChanged();
    emit lightImgYChanged();
    emit lightImgMapChanged();
    emit lightLeftMapChanged();
    emit lightImgHeightChanged();
    emit lightImgWidthChanged();

    const ButtonMaps keyLights = buttonMaps(light.value(QLatin1String("keyLightBtn")).toArray(), "key");
    m_lightKeyXMap = keyLights.x;
    m_lightKeyYMap = keyLights.y;
    m_lightKeyWidthMap = keyLights.width;
    m_lightKeyHeightMap = keyLights.height;
    emit lightKeyXMapChanged();
    emit lightKeyYMapChanged();
    emit lightKeyWidthMapChanged();
    emit lightKeyHeightMapChanged();
}

void KImageModel::readKeyboardKeys(const QJsonObject& key)
{
    m_keyNumber = key.value(QLatin1String("number")).toInt();
    emit keyNumberChanged();
    m_keyboardKeyBaseImg = text(key, "keyBaseImge");
    m_keyImgWidth = scaled(key, "width");
    m_keyImgHeight = scaled(key, "height");
    m_keyImgX = scaled(key, "x");
    m_keyImgY = scaled(key, "y");
    const ButtonMaps keys = buttonMaps(key.value(QLatin1String("keyBtn")).toArray(), "key");
    m_keyImgMap = keys.image;
    m_keyXMap = keys.x;
    m_keyYMap = keys.y;
    // Every keyboard key is drawn on the same side.
    m_keyLeftMap.clear();
    for (auto it = keys.x.cbegin(); it != keys.x.cend(); ++it)
        m_keyLeftMap.insert(it.key(), true);
    m_keyNameMap = keys.name;
    m_keyWidthMap = keys.width;
    m_keyHeightMap = keys.height;
    emit keyboardKeyBaseImgChanged();
    emit keyImgMapChanged();
    emit keyImgWidthChanged();
    emit keyImgHeightChanged();
    emit keyImgXChanged();
    emit keyImgYChanged();
    emit keyXMapChanged();
    emit keyYMapChanged();
    emit keyLeftMapChanged();
    emit keyNameMapChanged();
    emit keyWidthMapChanged();
    emit keyHeightMapChanged();
}
