#include "devices/mouse/register/models/KDeviceFarrant_Nordic_Wireless.h"

#include "common/DeviceIds.h"

KDeviceFarrant_Nordic_Wireless::KDeviceFarrant_Nordic_Wireless(QObject* parent)
    : KDeviceFarrant_Nordic(DeviceIds::kJarrowNordicWireless, parent)
{
}
