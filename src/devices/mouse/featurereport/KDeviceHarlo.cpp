#include "devices/mouse/featurereport/KDeviceHarlo.h"

#include "common/DeviceIds.h"

KDeviceHarlo::KDeviceHarlo(QObject* parent)
    : KDeviceDunmor(DeviceIds::kHarlo, parent)
{
}
