#include "devices/mouse/register/models/HDeviceIckwor_Wireless.h"

#include "common/DeviceIds.h"

HDeviceIckwor_Wireless::HDeviceIckwor_Wireless(QObject* parent)
    : KDeviceFarrant_WireLess(DeviceIds::kIckworWireless, parent)
{
}
