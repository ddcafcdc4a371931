#include "update/Pinnace.h"

#include "common/DeviceIds.h"
#include "hid/khid/KHidFunctions.h"

namespace Pinnace {

int FindHidDevice(quint16 usagePage, quint16 usage, QString* path)
{
    bool found = false;
    KHID::enumHidDevices([&](KHID::KHidDetail detail, bool& keepGoing) {
        if (detail.vendorId == DeviceIds::kVendorId && detail.capabilities.usagePage == usagePage
            && detail.capabilities.usage == usage) {
            if (path)
                *path = detail.devicePath;
            found = true;
            keepGoing = false;
        }
    });
    return found ? 1 : 0;
}

KHID::HANDLE OpenHidDevice(const QString& path)
{
    KHID::HANDLE handle = KHID::INVALID_HANDLE_VALUE;
    KHID::openWriteHandle(path, handle);
    return handle;
}

} // namespace Pinnace
