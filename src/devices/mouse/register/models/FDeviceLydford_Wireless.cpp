#include "devices/mouse/register/models/FDeviceLydford_Wireless.h"

#include "common/DeviceIds.h"

FDeviceLydford_Wireless::FDeviceLydford_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kLydfordWireless, parent)
{
}
