#include "devices/mouse/register/models/FDeviceCorlis.h"

#include "common/DeviceIds.h"

FDeviceCorlis::FDeviceCorlis(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kCorlis, parent)
{
}
