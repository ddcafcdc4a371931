#include "models/device/KLightModel.h"

#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "models/device/CurrentDevice.h"
#include "models/device/KLightModelItem.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {

constexpr int kNoPreset = 3;

QStringList strings(const QJsonArray& array)
{
    QStringList list;
    for (const QJsonValue& value : array)
        list << value.toString();
    return list;
}

} // namespace

KLightModel::KLightModel(QObject* parent)
    : QObject(parent)
{
    connect(this, &KLightModel::sig_uiModelChange, this, &KLightModel::slot_uiModelChange);
}

KLightModel::~KLightModel() = default;

void KLightModel::deviceDataChange()
{
    KBaseDevice* device = KDeviceController::instance()->currentDevice();
    if (!device)
        return;
    CurrentDevice::readLayout(m_work, device, [this](QJsonObject layout) { emit sig_uiModelChange(layout); });
}

void KLightModel::slot_uiModelChange(QJsonObject layout)
{
    if (!m_logo || !m_wheel)
        return;
    const QJsonObject light = layout.value(QLatin1String("light")).toObject();

    QVector<int> codes, xs, ys;
    QVector<QString> names;
    QVector<bool> speedFlags, brightnessFlags;
    QStringList plainNames;
    for (const QJsonValue& value : light.value(QLatin1String("lightMode")).toArray()) {
        const QJsonObject mode = value.toObject();
        const QString text = mode.value(QLatin1String("text")).toString();
        codes << mode.value(QLatin1String("index")).toInt();
        // Translated now: a later change of language shows in the next device announcement.
        names << QCoreApplication::translate("KLightModel", text.toUtf8().constData());
        speedFlags << mode.value(QLatin1String("hasSpeed")).toBool();
        brightnessFlags << mode.value(QLatin1String("hasbrightness")).toBool();
        plainNames << text;
        xs << mode.value(QLatin1String("x")).toInt();
        ys << mode.value(QLatin1String("y")).toInt();
    }

    const QJsonArray logoModes = light.value(QLatin1String("logoMode")).toArray();
    if (!logoModes.isEmpty()) {
        QStringList logoTexts;
        for (const QJsonValue& value : logoModes)
            logoTexts << value.toObject().value(QLatin1String("text")).toString();
        m_logo->setLogoModeText(logoTexts, true);
    }

    for (KLightModelItem* zone : {m_logo, m_wheel}) {
        zone->setIndex(codes, true);
        zone->setText(names, true);
        zone->setSpeedState(speedFlags, true);
        zone->setBrightnessState(brightnessFlags, true);
        zone->setSpeedMax(light.value(QLatin1String("speedMax")).toInt(), true);
        zone->setSpeedMin(light.value(QLatin1String("speedMin")).toInt(), true);
        zone->setBrightnessMax(light.value(QLatin1String("brightnessMax")).toInt(), true);
        zone->setBrightnessMin(light.value(QLatin1String("brightnessMin")).toInt(), true);
        zone->setModelStrList(plainNames, true);
    }
    // Only the main zone has effect buttons on the page.
    m_logo->setLightBtnX(xs, true);
    m_logo->setLightBtnY(ys, true);

    m_logo->setDefaultColor(strings(light.value(QLatin1String("defaultColor")).toArray()).toVector(), true);
    m_logo->setShortCutStrList(strings(light.value(QLatin1String("lightShortCut")).toArray()), true);
    m_logo->setShortCutModel(kNoPreset, true);
    m_logo->setHasOperatingMode(light.value(QLatin1String("hasOperatingMode")).toBool(), true);
    const QJsonArray operatingModes = light.value(QLatin1String("operatingMode")).toArray();
    if (!operatingModes.isEmpty())
        m_logo->setOperatingModeList(strings(operatingModes), true);
    m_logo->setOperatingMode(0, true);

    const QJsonArray zones = light.value(QLatin1String("keyBtn")).toArray();
    if (zones.size() > 0)
        m_logo->setName(zones.at(0).toObject().value(QLatin1String("name")).toString(), true);
    if (zones.size() > 1)
        m_wheel->setName(zones.at(1).toObject().value(QLatin1String("name")).toString(), true);
}
