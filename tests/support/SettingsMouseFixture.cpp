#include "SettingsMouseFixture.h"

#include "common/DeviceIds.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "TestWait.h"

#include <QCoreApplication>
#include <QTest>

namespace {
// A mouse id of the catalogue; only the test factory below serves it here.
constexpr int kPid = DeviceIds::kBalsom;
} // namespace

SettingsMouseFixture::SettingsMouseFixture(const QJsonObject& layout)
    : m_bus(std::make_unique<SimBusFixture>())
    , m_mouse(std::make_unique<SimSettingsMouse>())
{
    m_mouse->plug(m_bus->bus(), kPid);
    HDeviceManager* registry = HDeviceManager::instance();
    registry->setFactory([](int pid) { return new SettingsMouseDevice(pid); });
    if (!registry->createDevice(kPid))
        return;
    auto* device = qobject_cast<SettingsMouseDevice*>(registry->getDevice(kPid));
    if (!device)
        return;
    device->setLayout(layout);
    if (device->initDevice())
        m_device = device;
}

SettingsMouseFixture::~SettingsMouseFixture()
{
    removeDevice();
    HDeviceManager::instance()->setFactory({});
    m_mouse.reset();
    m_bus.reset();
}

bool SettingsMouseFixture::removeDevice()
{
    m_device = nullptr;
    m_mouse->unplug();
    HDeviceManager* registry = HDeviceManager::instance();
    KBaseDevice* device = registry->getDevice(kPid);
    if (!device)
        return true;
    device->setRemoved(true);
    registry->removeDevice(kPid);
    const bool gone = QTest::qWaitFor(
        [registry] { return registry->getDevice(kPid) == nullptr && HWork::pendingCount() == 0; }, TestWait::kBoundMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return gone;
}
