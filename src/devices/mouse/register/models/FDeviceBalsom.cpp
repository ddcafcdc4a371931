#include "devices/mouse/register/models/FDeviceBalsom.h"

#include "common/DeviceIds.h"

FDeviceBalsom::FDeviceBalsom(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kBalsom, parent)
{
}
