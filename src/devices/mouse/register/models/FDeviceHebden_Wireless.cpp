#include "devices/mouse/register/models/FDeviceHebden_Wireless.h"

#include "common/DeviceIds.h"

FDeviceHebden_Wireless::FDeviceHebden_Wireless(QObject* parent)
    : KDeviceFarrant_Nordic(DeviceIds::kHebdenWireless, parent)
{
}
