#include "devices/mouse/register/models/HDeviceAbberly_Wireless.h"

#include "common/DeviceIds.h"

HDeviceAbberly_Wireless::HDeviceAbberly_Wireless(QObject* parent)
    : HDeviceYarrin_Wireless(DeviceIds::kAbberlyWireless, parent)
{
}
