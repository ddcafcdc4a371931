#include "models/device/CurrentDevice.h"

#include "hid/HWork.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"

#include <utility>

KBaseDevice* CurrentDevice::writable()
{
    KBaseDevice* device = KDeviceController::instance()->currentDevice();
    return device && !device->isRemoved() ? device : nullptr;
}

void CurrentDevice::readLayout(HWork& work, KBaseDevice* device, std::function<void(QJsonObject)> done)
{
    work.run([device] { return *device->getLayout(); }, [done = std::move(done)](QJsonObject layout) {
        if (!layout.isEmpty())
            done(layout);
    });
}
