#include "devices/mouse/register/models/FDeviceBrackly.h"

#include "common/DeviceIds.h"

FDeviceBrackly::FDeviceBrackly(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kBrackly, parent)
{
}
