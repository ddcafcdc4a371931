#include "devices/mouse/register/models/FDeviceKelham_Nordic.h"

#include "common/DeviceIds.h"

FDeviceKelham_Nordic::FDeviceKelham_Nordic(QObject* parent)
    : FDeviceKelham_Nordic(DeviceIds::kKelhamNordic, parent)
{
}

FDeviceKelham_Nordic::FDeviceKelham_Nordic(int pid, QObject* parent)
    : FDeviceKelham_Nordic_Wireless(pid, parent)
{
}
