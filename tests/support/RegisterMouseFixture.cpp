#include "RegisterMouseFixture.h"

#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QCoreApplication>
#include <QTest>

RegisterMouseFixture::RegisterMouseFixture(quint16 productId, quint8 address)
    : m_pid(productId)
    , m_bus(std::make_unique<SimBusFixture>())
    , m_mouse(std::make_unique<SimRegisterMouse>(productId, address))
{
    m_mouse->plug(m_bus->bus());
    Platform::setSleepRecording(true);
    Platform::clearRecordedSleeps();
}

RegisterMouseFixture::~RegisterMouseFixture()
{
    removeDevice();
    HDeviceManager::instance()->setFactory({});
    m_mouse.reset();
    m_bus.reset();
}

KBaseDevice* RegisterMouseFixture::createDevice(KBaseDevice* (*create)())
{
    HDeviceManager* registry = HDeviceManager::instance();
    if (KBaseDevice* device = registry->getDevice(m_pid))
        return device;
    registry->setFactory([create](int pid) { return create ? create() : DeviceFactory::createModel(pid); });
    return registry->createDevice(m_pid) ? registry->getDevice(m_pid) : nullptr;
}

KBaseDevice* RegisterMouseFixture::openDevice(KBaseDevice* (*create)())
{
    KBaseDevice* device = createDevice(create);
    if (!device || !device->initDevice())
        return nullptr;
    m_mouse->clearCommands();
    Platform::clearRecordedSleeps();
    return device;
}

bool RegisterMouseFixture::removeDevice()
{
    const int pid = m_pid;
    KBaseDevice* device = HDeviceManager::instance()->getDevice(pid);
    if (!device)
        return true;
    device->setRemoved(true);
    HDeviceManager::instance()->removeDevice(pid);
    const bool gone = QTest::qWaitFor([pid] { return HDeviceManager::instance()->getDevice(pid) == nullptr; }, TestWait::kBoundMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return gone;
}

QList<QPair<quint32, QByteArray>> RegisterMouseFixture::appliedWrites() const
{
    QList<QPair<quint32, QByteArray>> out;
    for (const auto& command : m_mouse->appliedWrites())
        out << qMakePair(command.reg, command.data);
    return out;
}
