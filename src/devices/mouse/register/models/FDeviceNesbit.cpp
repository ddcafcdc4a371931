#include "devices/mouse/register/models/FDeviceNesbit.h"

#include "common/DeviceIds.h"

FDeviceNesbit::FDeviceNesbit(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kNesbit, parent)
{
}
