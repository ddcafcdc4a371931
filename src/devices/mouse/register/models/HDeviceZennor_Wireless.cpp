#include "devices/mouse/register/models/HDeviceZennor_Wireless.h"

#include "common/DeviceIds.h"

HDeviceZennor_Wireless::HDeviceZennor_Wireless(QObject* parent)
    : HDeviceYarrin_Wireless(DeviceIds::kZennorWireless, parent)
{
}
