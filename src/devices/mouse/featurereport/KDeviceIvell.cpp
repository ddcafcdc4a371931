#include "devices/mouse/featurereport/KDeviceIvell.h"

#include "common/DeviceIds.h"

KDeviceIvell::KDeviceIvell(QObject* parent)
    : KDeviceDunmor(DeviceIds::kIvell, parent)
{
}
