#include "devices/mouse/register/models/FDeviceDallow_Wireless.h"

#include "common/DeviceIds.h"

FDeviceDallow_Wireless::FDeviceDallow_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kDallowWireless, parent)
{
}
