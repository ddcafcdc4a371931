#include "devices/mouse/twopage/FDeviceDunmor_Hollis.h"

#include "common/DeviceIds.h"

FDeviceDunmor_Hollis::FDeviceDunmor_Hollis(QObject* parent)
    : HDeviceHarlo_Hollis(DeviceIds::kDunmorHollis, parent)
{
}
