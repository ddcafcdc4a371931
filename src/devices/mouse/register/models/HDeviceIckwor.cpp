#include "devices/mouse/register/models/HDeviceIckwor.h"

#include "common/DeviceIds.h"

HDeviceIckwor::HDeviceIckwor(QObject* parent)
    : KDeviceFarrant(DeviceIds::kIckwor, parent)
{
}
