#include "devices/mouse/register/models/HDeviceKelham.h"

#include "common/DeviceIds.h"

HDeviceKelham::HDeviceKelham(QObject* parent)
    : HDeviceKelham(DeviceIds::kKelham, parent)
{
}

HDeviceKelham::HDeviceKelham(int pid, QObject* parent)
    : FDeviceKelham_Nordic_Wireless(pid, parent)
{
}

bool HDeviceKelham::openChannel()
{
    return openOwnChannel();
}

bool HDeviceKelham::afterOpen()
{
    return opened;
}
