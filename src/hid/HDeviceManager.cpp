#include "hid/HDeviceManager.h"

#include "hid/DeviceFactory.h"
#include "hid/HWork.h"
#include "hid/KBaseDevice.h"

#include <QThreadPool>

HDeviceManager* HDeviceManager::instance()
{
    static HDeviceManager manager;
    return &manager;
}

HDeviceManager::HDeviceManager() = default;

// The registry outlives the application object; the ordered shutdown (deleteAllDevices) normally has emptied
// it. The thread pool can no longer be waited for here, so whatever is left is deleted as it stands.
HDeviceManager::~HDeviceManager()
{
    qDeleteAll(takeAllDevices());
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
    return DeviceFactory::create(pid);
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
    scheduleDeletion(device);
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
    qDeleteAll(takeAllDevices());
}

QList<KBaseDevice*> HDeviceManager::takeAllDevices()
{
    QList<KBaseDevice*> devices = m_retired + m_devices.values();
    for (const QPointer<KBaseDevice>& device : qAsConst(m_doomed)) {
        if (device)
            devices.append(device.data());
    }
    m_retired.clear();
    m_devices.clear();
    m_doomed.clear();
    return devices;
}

void HDeviceManager::scheduleDeletion(KBaseDevice* device)
{
    m_doomed.removeAll(QPointer<KBaseDevice>());
    m_doomed.append(device);
    device->deleteLater();
}

void HDeviceManager::slot_destoryDevice()
{
    if (isBusy())
        return;
    const QList<KBaseDevice*> retired = m_retired;
    m_retired.clear();
    for (KBaseDevice* device : retired)
        scheduleDeletion(device);
    for (auto it = m_devices.begin(); it != m_devices.end();) {
        if (it.value()->isRemoved()) {
            scheduleDeletion(it.value());
            it = m_devices.erase(it);
        } else {
            ++it;
        }
    }
}
