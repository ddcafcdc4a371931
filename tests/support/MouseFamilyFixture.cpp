#include "MouseFamilyFixture.h"

#include "TestWait.h"

#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"
#include "models/device/FOledModel.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/KKeyModel.h"

#include <QJsonArray>
#include <QTest>

MouseFamilyFixture::MouseFamilyFixture(int models)
    : m_bus(std::make_unique<SimBusFixture>())
    , m_services(std::make_unique<RecordingServices>())
{
    if (models & Dpi) {
        m_dpi = std::make_unique<KDpiModel>();
        m_services->setDpiModel(m_dpi.get());
    }
    if (models & Report) {
        m_report = std::make_unique<KReportModel>();
        m_services->setReportModel(m_report.get());
    }
    if (models & (Light | WheelLight)) {
        m_light = std::make_unique<KLightModel>();
        m_light->setLogo(new KLightModelItem(m_light.get()));
        if (models & WheelLight)
            m_light->setWheel(new KLightModelItem(m_light.get()));
        m_services->setLightModel(m_light.get());
    }
    if (models & Keys) {
        m_keys = std::make_unique<KKeyModel>();
        m_services->setKeyModel(m_keys.get());
    }
    if (models & Oled) {
        m_oled = std::make_unique<FOledModel>();
        m_services->setOledModel(m_oled.get());
    }
    HDeviceManager::instance()->setFactory([](int pid) { return DeviceFactory::createModel(pid); });
}

MouseFamilyFixture::~MouseFamilyFixture()
{
    for (quint16 pid : qAsConst(m_created))
        removeDevice(pid);
    HDeviceManager::instance()->setFactory(HDeviceManager::Factory());
    m_services.reset();
    m_oled.reset();
    m_keys.reset();
    m_light.reset();
    m_report.reset();
    m_dpi.reset();
    m_bus.reset();
}

KBaseDevice* MouseFamilyFixture::createDevice(quint16 pid)
{
    if (!HDeviceManager::instance()->createDevice(pid))
        return nullptr;
    if (!m_created.contains(pid))
        m_created << pid;
    return HDeviceManager::instance()->getDevice(pid);
}

bool MouseFamilyFixture::removeDevice(quint16 pid)
{
    HDeviceManager* registry = HDeviceManager::instance();
    KBaseDevice* device = registry->getDevice(pid);
    if (!device)
        return true;
    device->setRemoved(true);
    registry->removeDevice(pid);
    return QTest::qWaitFor([registry, pid] { return registry->getDevice(pid) == nullptr; }, TestWait::kBoundMs);
}

namespace MouseTestData {

KMacroItem delay(int ms)
{
    return KMacroItem(KMacroItem::Delay, ms, 0, false, QString());
}

KMacroItem move(int x, int y)
{
    return KMacroItem(KMacroItem::Pointer, x, y, false, QString());
}

QJsonObject button(int key, int function, const QJsonValue& value1)
{
    return QJsonObject{{QStringLiteral("key"), key}, {QStringLiteral("funcIndex"), function},
                       {QStringLiteral("value1"), value1}};
}

QJsonObject macroValue(const QVector<KMacroItem>& events, const QString& name, int playType, int times)
{
    QJsonArray list;
    for (const KMacroItem& item : events)
        list << item.toJson();
    return QJsonObject{{QStringLiteral("list"), list}, {QStringLiteral("playType"), QString::number(playType)},
                       {QStringLiteral("ignoreTime"), false}, {QStringLiteral("times"), times},
                       {QStringLiteral("macroName"), name}};
}

QJsonArray dpiStages(const QList<int>& values)
{
    QJsonArray stages;
    for (int value : values)
        stages << QJsonObject{{QStringLiteral("currentValue"), value}, {QStringLiteral("enable"), true}};
    return stages;
}

} // namespace MouseTestData
