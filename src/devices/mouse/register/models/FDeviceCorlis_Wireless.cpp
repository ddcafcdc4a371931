#include "devices/mouse/register/models/FDeviceCorlis_Wireless.h"

#include "common/DeviceIds.h"

FDeviceCorlis_Wireless::FDeviceCorlis_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kCorlisWireless, parent)
{
}
