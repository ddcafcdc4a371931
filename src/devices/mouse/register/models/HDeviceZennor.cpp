#include "devices/mouse/register/models/HDeviceZennor.h"

#include "common/DeviceIds.h"

HDeviceZennor::HDeviceZennor(QObject* parent)
    : HDeviceYarrin(DeviceIds::kZennor, parent)
{
}
