#include "devices/mouse/register/models/FDeviceNesbit_Wireless.h"

#include "common/DeviceIds.h"

FDeviceNesbit_Wireless::FDeviceNesbit_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kNesbitWireless, parent)
{
}
