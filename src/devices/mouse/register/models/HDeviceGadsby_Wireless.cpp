#include "devices/mouse/register/models/HDeviceGadsby_Wireless.h"

#include "common/DeviceIds.h"

HDeviceGadsby_Wireless::HDeviceGadsby_Wireless(QObject* parent)
    : HDeviceGadsby(DeviceIds::kGadsbyWireless, parent)
{
}
