#include "devices/mouse/register/models/FDeviceBrackly_Wireless.h"

#include "common/DeviceIds.h"

FDeviceBrackly_Wireless::FDeviceBrackly_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kBracklyWireless, parent)
{
}
