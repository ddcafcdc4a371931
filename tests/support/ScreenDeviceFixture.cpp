#include "ScreenDeviceFixture.h"

#include "ScreenTestDevice.h"

#include "common/DeviceIds.h"
#include "hid/HDeviceManager.h"
#include "hid/HWork.h"
#include "TestWait.h"

#include <QCoreApplication>
#include <QTest>

namespace {
constexpr int kPid = DeviceIds::kEdris;
}

ScreenDeviceFixture::ScreenDeviceFixture(const QJsonObject& layout)
{
    m_firmware.plug(m_bus.bus(), kPid);
    HDeviceManager* registry = HDeviceManager::instance();
    registry->setFactory([](int pid) { return new ScreenTestDevice(pid); });
    if (!registry->createDevice(kPid))
        return;
    auto* device = qobject_cast<ScreenTestDevice*>(registry->getDevice(kPid));
    if (!device)
        return;
    device->setLayout(layout);
    if (device->initDevice())
        m_device = device;
}

ScreenDeviceFixture::~ScreenDeviceFixture()
{
    removeDevice();
    HDeviceManager::instance()->setFactory({});
}

void ScreenDeviceFixture::removeDevice()
{
    HDeviceManager* registry = HDeviceManager::instance();
    if (!QTest::qWaitFor([] { return HWork::pendingCount() == 0; }, TestWait::kBoundMs))
        qWarning("device tasks still pending at removal");
    if (KBaseDevice* device = registry->getDevice(kPid)) {
        device->setRemoved(true);
        registry->removeDevice(kPid);
        if (!QTest::qWaitFor([registry] { return registry->getDevice(kPid) == nullptr; }, TestWait::kBoundMs))
            qWarning("the screen device was not deleted");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    m_device = nullptr;
    m_firmware.unplug();
}
