#include "devices/mouse/featurereport/HDeviceLorrim.h"

#include "common/DeviceIds.h"

HDeviceLorrim::HDeviceLorrim(QObject* parent)
    : KDeviceDunmor(DeviceIds::kLorrim, parent)
{
}
