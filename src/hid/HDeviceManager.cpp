#include "hid/HDeviceManager.h"

#include "common/DeviceIds.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HWork.h"
#include "hid/KBaseDevice.h"

#include <QThreadPool>

HDeviceManager* HDeviceManager::instance()
{
    static HDeviceManager manager;
    return &manager;
}

HDeviceManager::HDeviceManager() = default;

// The registry outlives the event loop; whatever is left is deleted without waiting.
HDeviceManager::~HDeviceManager()
{
    qDeleteAll(m_retired);
    qDeleteAll(m_devices);
}

bool HDeviceManager::createDevice(const int& pid)
{
    KBaseDevice* device = deviceFactory(pid);
    if (!device)
        return false;

    if (KBaseDevice* previous = m_devices.value(pid, nullptr)) {
        previous->setRemoved(true);
        m_retired.append(previous);
    }
    m_currentPid = pid;
    m_devices.insert(pid, device);
    slot_destoryDevice();
    return true;
}

KBaseDevice* HDeviceManager::deviceFactory(const int& pid)
{
    if (m_factory)
        return m_factory(pid);
    // The wired keyboard is the one device class the program creates; every other id has no class.
    if (pid == DeviceIds::kKeyboardWired)
        return new FDeviceQuenby_8a();
    return nullptr;
}

KBaseDevice* HDeviceManager::getDevice(const int& pid) const
{
    return m_devices.value(pid == -1 ? m_currentPid : pid, nullptr);
}

void HDeviceManager::removeDevice(const int& pid)
{
    KBaseDevice* device = m_devices.value(pid, nullptr);
    if (!device || isBusy() || !device->isRemoved())
        return;
    m_devices.remove(pid);
    device->deleteLater();
}

bool HDeviceManager::isBusy() const
{
    return HWork::pendingCount() != 0;
}

bool HDeviceManager::hasRemovedDevice() const
{
    if (!m_retired.isEmpty())
        return true;
    for (const KBaseDevice* device : m_devices) {
        if (device->isRemoved())
            return true;
    }
    return false;
}

void HDeviceManager::setFactory(Factory factory)
{
    m_factory = std::move(factory);
}

void HDeviceManager::deleteAllDevices()
{
    QThreadPool::globalInstance()->waitForDone();
    const QList<KBaseDevice*> devices = m_retired + m_devices.values();
    m_retired.clear();
    m_devices.clear();
    qDeleteAll(devices);
}

// Deleting with deleteLater: this slot is reached from a signal of an executor that may belong to the device
// being deleted.
void HDeviceManager::slot_destoryDevice()
{
    if (isBusy())
        return;
    for (KBaseDevice* device : qAsConst(m_retired))
        device->deleteLater();
    m_retired.clear();
    for (auto it = m_devices.begin(); it != m_devices.end();) {
        if (it.value()->isRemoved()) {
            it.value()->deleteLater();
            it = m_devices.erase(it);
        } else {
            ++it;
        }
    }
}
