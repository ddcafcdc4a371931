#include "devices/mouse/register/models/FDeviceElwin_Wireless.h"

#include "common/DeviceIds.h"

FDeviceElwin_Wireless::FDeviceElwin_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kElwinWireless, parent)
{
}
