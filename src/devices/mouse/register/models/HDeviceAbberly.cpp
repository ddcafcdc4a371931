#include "devices/mouse/register/models/HDeviceAbberly.h"

#include "common/DeviceIds.h"

HDeviceAbberly::HDeviceAbberly(QObject* parent)
    : HDeviceYarrin(DeviceIds::kAbberly, parent)
{
}
