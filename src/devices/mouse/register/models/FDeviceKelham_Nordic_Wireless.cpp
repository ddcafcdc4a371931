#include "devices/mouse/register/models/FDeviceKelham_Nordic_Wireless.h"

#include "common/DeviceIds.h"

FDeviceKelham_Nordic_Wireless::FDeviceKelham_Nordic_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kKelhamNordicWireless, parent)
{
}

FDeviceKelham_Nordic_Wireless::FDeviceKelham_Nordic_Wireless(int pid, QObject* parent)
    : KDeviceFarrant_Nordic(pid, parent)
{
}
