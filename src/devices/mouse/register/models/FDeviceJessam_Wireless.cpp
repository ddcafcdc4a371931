#include "devices/mouse/register/models/FDeviceJessam_Wireless.h"

#include "common/DeviceIds.h"

FDeviceJessam_Wireless::FDeviceJessam_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kJessamWireless, parent)
{
}
