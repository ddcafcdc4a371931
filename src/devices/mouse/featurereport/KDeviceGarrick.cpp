#include "devices/mouse/featurereport/KDeviceGarrick.h"

#include "common/DeviceIds.h"

KDeviceGarrick::KDeviceGarrick(QObject* parent)
    : KDeviceDunmor(DeviceIds::kGarrick, parent)
{
}
