#include "devices/mouse/register/models/FDeviceHebden.h"

#include "common/DeviceIds.h"

FDeviceHebden::FDeviceHebden(QObject* parent)
    : KDeviceFarrant_Nordic(DeviceIds::kHebden, parent)
{
}
