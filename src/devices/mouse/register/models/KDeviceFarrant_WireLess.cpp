#include "devices/mouse/register/models/KDeviceFarrant_WireLess.h"

#include "common/DeviceIds.h"

KDeviceFarrant_WireLess::KDeviceFarrant_WireLess(QObject* parent)
    : KDeviceFarrant_WireLess(DeviceIds::kFarrantWireless, parent)
{
}

KDeviceFarrant_WireLess::KDeviceFarrant_WireLess(int pid, QObject* parent)
    : KDeviceFarrant_Nordic(pid, parent)
{
}

bool KDeviceFarrant_WireLess::openChannel()
{
    return openOwnChannel();
}

bool KDeviceFarrant_WireLess::afterOpen()
{
    return afterOwnOpening();
}
