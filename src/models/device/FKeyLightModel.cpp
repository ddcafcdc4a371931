#include "models/device/FKeyLightModel.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "models/device/CurrentDevice.h"
#include "models/device/FKeyLightModelItem.h"
#include "models/keys/KKey.h"

#include <QDebug>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <iterator>

namespace {

constexpr int kLoadingMs = 2000;
constexpr int kSectionKeyBrightness = 12;
constexpr int kSectionKeyColor = 16;
// Keys whose colour the colour read leaves alone.
constexpr int kUnreadKeys[] = {26, 113};
const QString kCategory = AnalyticsEvents::kDriverKeyLight;

// A member of the layout's "light" object as a range end: JSON null keeps the old value (false), anything
// else is taken as an integer, 0 when missing or not a number.
bool rangeValue(const QJsonObject& light, const char* name, int* value)
{
    const QJsonValue member = light.value(QLatin1String(name));
    if (member.isNull())
        return false;
    *value = member.toInt();
    return true;
}

} // namespace

FKeyLightModel::FKeyLightModel(QObject* parent)
    : QObject(parent)
{
    connect(this, &FKeyLightModel::sig_uiModelChange, this, &FKeyLightModel::slot_uiModelChange);
}

FKeyLightModel::~FKeyLightModel() = default;

void FKeyLightModel::setKeyLightList(const QVariantList& list, bool notify)
{
    m_keyLightList = list;
    if (notify)
        emit keyLightListChanged();
}

void FKeyLightModel::setMaxValue(int value)
{
    m_maxValue = value;
    emit maxValueChanged();
}

void FKeyLightModel::setMinValue(int value)
{
    m_minValue = value;
    emit minValueChanged();
}

void FKeyLightModel::setCurrentColor(const QString& color)
{
    m_currentColor = color;
    emit currentColorChanged();
}

FKeyLightModelItem* FKeyLightModel::itemOfKey(int key) const
{
    for (const QVariant& value : m_keyLightList) {
        auto* item = value.value<FKeyLightModelItem*>();
        if (item && item->key() == key)
            return item;
    }
    return nullptr;
}

// --- the layout ------------------------------------------------------------------------------------------------

void FKeyLightModel::deviceDataChange()
{
    KBaseDevice* device = CurrentDevice::writable();
    if (!device)
        return;
    // The document is loaded when the device object is made and never changes: read it here directly.
    const QJsonObject layout = *device->getLayout();
    if (layout.isEmpty())
        return;
    takeRange(layout);
    rebuildItems(layout);
}

void FKeyLightModel::slot_uiModelChange(QJsonObject layout)
{
    takeRange(layout);
}

void FKeyLightModel::takeRange(const QJsonObject& layout)
{
    const QJsonObject light = layout.value(QLatin1String("light")).toObject();
    int value = 0;
    if (rangeValue(light, "keyLightMax", &value))
        setMaxValue(value);
    if (rangeValue(light, "keyLightMin", &value))
        setMinValue(value);
}

void FKeyLightModel::rebuildItems(const QJsonObject& layout)
{
    QVariantList items;
    QSet<int> seen;
    const QJsonArray keys = layout.value(QLatin1String("key")).toObject().value(QLatin1String("keyBtn")).toArray();
    for (const QJsonValue& entry : keys) {
        const int key = entry.toObject().value(QLatin1String("key")).toInt(-1);
        // One item per key id: a second one could never be found, and a key outside the ids is no key.
        if (key < KKeyFirst || key > KKeyLast || seen.contains(key)) {
            qDebug() << "[Error] the layout's key is not usable for per-key light:" << key;
            continue;
        }
        seen.insert(key);
        items << QVariant::fromValue(new FKeyLightModelItem(key, 0, QString(), this));
    }
    const QVariantList old = m_keyLightList;
    m_keyLightList = items;
    emit keyLightListChanged();
    for (const QVariant& value : old) {
        if (auto* item = value.value<FKeyLightModelItem*>())
            item->deleteLater();
    }
}

// --- reads and writes ------------------------------------------------------------------------------------------

void FKeyLightModel::keyEvent(int key, const QString& label)
{
    AppServices::instance()->sendEvent(kCategory, AnalyticsEvents::keyAction(key), label);
}

KBaseDevice* FKeyLightModel::deviceForKeyWrite(int key, const char* what) const
{
    if (!itemOfKey(key)) {
        qDebug() << "[Error]" << what << "for a key without per-key light:" << key;
        return nullptr;
    }
    KBaseDevice* device = CurrentDevice::writable();
    if (!device)
        qDebug() << "[Error]" << what << "without a device";
    return device;
}

void FKeyLightModel::getCurrentKeyColor(int key, QString color)
{
    if (key == -1) {
        setCurrentColor(QStringLiteral("000000"));
        return;
    }
    if (const FKeyLightModelItem* item = itemOfKey(key); item && QLatin1Char('#') + item->color() == color)
        return;
    KBaseDevice* device = CurrentDevice::writable();
    if (!device) {
        qDebug() << "[Error] getCurrentKeyColor without a device";
        return;
    }
    AppServices::instance()->startLoading(kLoadingMs);
    m_work.run([device] { return device->getKeyColor(); }, [this, key](H_KEYLIGHT lights) {
        if (lights.isEmpty()) {
            keyEvent(key, AnalyticsEvents::kFail);
            qDebug() << "[Error] getCurrentKeyColor";
            AppServices::instance()->stopLoading();
            return;
        }
        for (const QVariant& value : m_keyLightList) {
            auto* item = value.value<FKeyLightModelItem*>();
            if (!item || std::find(std::begin(kUnreadKeys), std::end(kUnreadKeys), item->key()) != std::end(kUnreadKeys))
                continue;
            const auto found = lights.constFind(KKey(item->key()));
            item->setColor(found != lights.constEnd() ? found->color() : QString(), true);
        }
        qDebug() << "size:" << m_keyLightList.size();
        for (const QVariant& value : m_keyLightList) {
            if (const auto* item = value.value<FKeyLightModelItem*>())
                qDebug() << "color:" << item->color();
        }
        const FKeyLightModelItem* item = itemOfKey(key);
        setCurrentColor(item ? item->color() : QString());
        AppServices::instance()->stopLoading();
    });
}

bool FKeyLightModel::writeKeyColor(int key, QString color)
{
    const QString text = QString(color).remove(QLatin1Char('#'));
    // Exactly r, g and b: a shorter or malformed text would send values nobody chose.
    static const QRegularExpression sixHexDigits(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (!sixHexDigits.match(text).hasMatch()) {
        qDebug() << "[Error] setKeyRGB: not a colour:" << color;
        return false;
    }
    KBaseDevice* device = deviceForKeyWrite(key, "setKeyRGB");
    if (!device)
        return false;
    const QByteArray rgb = QByteArray::fromHex(text.toLatin1());
    const QMap<QString, int> colour{{QStringLiteral("r"), quint8(rgb.at(0))},
                                    {QStringLiteral("g"), quint8(rgb.at(1))},
                                    {QStringLiteral("b"), quint8(rgb.at(2))}};
    AppServices::instance()->startLoading(kLoadingMs);
    m_writes.enqueue(device, [this, key, color, text, colour](KBaseDevice* device) {
        const auto done = [this, key, color, text](bool ok) {
            FKeyLightModelItem* item = itemOfKey(key);
            if (!ok) {
                keyEvent(key, AnalyticsEvents::kFail);
                qDebug() << "[Error] setKeyRGB";
                AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
                // The key keeps its colour: the page reads it again.
                if (item)
                    emit item->colorChanged();
            } else if (!item) {
                // The device has changed since: the key is not shown any more, and its profile is another's.
                qDebug() << "[Error] setKeyRGB: the key is gone from the list:" << key;
            } else {
                keyEvent(key, AnalyticsEvents::colorLabel(color));
                qDebug() << "[Info] setKeyRGB";
                item->setColor(text, true);
                setCurrentColor(text);
                AppServices::instance()->saveProfileSection(kSectionKeyColor, key);
            }
            AppServices::instance()->stopLoading();
            m_writes.done();
        };
        if (!device)
            return done(false);
        m_work.run(&KBaseDevice::setKeyRGB, device, KKey(key), colour, 0, 0, done);
    });
    return true;
}

bool FKeyLightModel::writeKeyBrightness(int key, int brightness)
{
    if (brightness < m_minValue || brightness > m_maxValue) {
        qDebug() << "[Error] setKeyLight: brightness out of range:" << brightness;
        if (FKeyLightModelItem* item = itemOfKey(key))
            emit item->brightnessChanged();
        return false;
    }
    KBaseDevice* device = deviceForKeyWrite(key, "setKeyLight");
    if (!device)
        return false;
    AppServices::instance()->startLoading(kLoadingMs);
    m_writes.enqueue(device, [this, key, brightness](KBaseDevice* device) {
        const auto done = [this, key, brightness](bool ok) {
            FKeyLightModelItem* item = itemOfKey(key);
            if (!ok) {
                keyEvent(key, AnalyticsEvents::kFail);
                qDebug() << "[Error] setKeyLight";
                AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
                if (item)
                    emit item->brightnessChanged();
            } else if (!item) {
                qDebug() << "[Error] setKeyLight: the key is gone from the list:" << key;
            } else {
                keyEvent(key, AnalyticsEvents::brightnessLabel(brightness));
                qDebug() << "[Info] setKeyLight" << key << brightness;
                item->setBrightness(brightness, true);
                AppServices::instance()->saveProfileSection(kSectionKeyBrightness, key);
            }
            AppServices::instance()->stopLoading();
            m_writes.done();
        };
        if (!device)
            return done(false);
        m_work.run(&KBaseDevice::setKeyBrightness, device, KKey(key), brightness, done);
    });
    return true;
}
