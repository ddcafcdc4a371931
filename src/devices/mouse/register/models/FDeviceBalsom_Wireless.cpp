#include "devices/mouse/register/models/FDeviceBalsom_Wireless.h"

#include "common/DeviceIds.h"

FDeviceBalsom_Wireless::FDeviceBalsom_Wireless(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kBalsomWireless, parent)
{
}
