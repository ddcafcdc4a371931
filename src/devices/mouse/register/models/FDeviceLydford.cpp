#include "devices/mouse/register/models/FDeviceLydford.h"

#include "common/DeviceIds.h"

FDeviceLydford::FDeviceLydford(QObject* parent)
    : FDeviceKelham_Nordic(DeviceIds::kLydford, parent)
{
}
