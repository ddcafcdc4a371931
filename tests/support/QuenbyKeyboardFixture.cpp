#include "QuenbyKeyboardFixture.h"

#include "common/DeviceIds.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HDeviceManager.h"
#include "platform/sys/PlatformTime.h"
#include "TestWait.h"

#include <QCoreApplication>
#include <QTest>

namespace {
constexpr int kPid = DeviceIds::kKeyboardWired;
}

QuenbyKeyboardFixture::QuenbyKeyboardFixture()
    : m_bus(std::make_unique<SimBusFixture>())
    , m_keyboard(std::make_unique<SimQuenbyKeyboard>())
{
    m_keyboard->plug(m_bus->bus());
    Platform::clearRecordedSleeps();
}

QuenbyKeyboardFixture::~QuenbyKeyboardFixture()
{
    removeDevice();
    m_keyboard.reset();
    m_bus.reset();
}

FDeviceQuenby_8a* QuenbyKeyboardFixture::createDevice()
{
    if (!HDeviceManager::instance()->createDevice(kPid))
        return nullptr;
    return qobject_cast<FDeviceQuenby_8a*>(HDeviceManager::instance()->getDevice(kPid));
}

FDeviceQuenby_8a* QuenbyKeyboardFixture::openDevice()
{
    FDeviceQuenby_8a* device = createDevice();
    if (!device || !device->initDevice())
        return nullptr;
    m_keyboard->clearCommands();
    Platform::clearRecordedSleeps();
    return device;
}

bool QuenbyKeyboardFixture::removeDevice()
{
    KBaseDevice* device = HDeviceManager::instance()->getDevice(kPid);
    if (!device)
        return true;
    device->setRemoved(true);
    HDeviceManager::instance()->removeDevice(kPid);
    const bool gone = QTest::qWaitFor([] { return HDeviceManager::instance()->getDevice(kPid) == nullptr; }, TestWait::kBoundMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return gone;
}

QList<quint32> QuenbyKeyboardFixture::writtenRegisters() const
{
    QList<quint32> out;
    for (const auto& command : m_keyboard->appliedWrites())
        out << command.reg;
    return out;
}
