#include "devices/mouse/register/models/FDeviceDallow.h"

#include "common/DeviceIds.h"

FDeviceDallow::FDeviceDallow(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kDallow, parent)
{
}
