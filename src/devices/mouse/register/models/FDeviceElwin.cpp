#include "devices/mouse/register/models/FDeviceElwin.h"

#include "common/DeviceIds.h"

FDeviceElwin::FDeviceElwin(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kElwin, parent)
{
}
