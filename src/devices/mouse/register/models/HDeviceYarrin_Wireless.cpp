#include "devices/mouse/register/models/HDeviceYarrin_Wireless.h"

#include "common/DeviceIds.h"

HDeviceYarrin_Wireless::HDeviceYarrin_Wireless(QObject* parent)
    : HDeviceYarrin_Wireless(DeviceIds::kYarrinWireless, parent)
{
}

HDeviceYarrin_Wireless::HDeviceYarrin_Wireless(int pid, QObject* parent)
    : HDeviceYarrin(pid, parent)
{
}
