#include "models/device/DeviceWriteQueue.h"

#include "hid/KBaseDevice.h"
#include "models/device/CurrentDevice.h"

#include <utility>

void DeviceWriteQueue::enqueue(KBaseDevice* device, Step step)
{
    m_steps.append({QPointer<KBaseDevice>(device), std::move(step)});
    if (!m_running)
        runNext();
}

void DeviceWriteQueue::done()
{
    runNext();
}

void DeviceWriteQueue::runNext()
{
    if (m_steps.isEmpty()) {
        m_running = false;
        return;
    }
    m_running = true;
    const Queued next = m_steps.takeFirst();
    KBaseDevice* device = next.device && next.device == CurrentDevice::writable() ? next.device.data() : nullptr;
    next.step(device);
}
