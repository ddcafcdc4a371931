#include "devices/mouse/register/models/FDeviceJessam.h"

#include "common/DeviceIds.h"

FDeviceJessam::FDeviceJessam(QObject* parent)
    : FDeviceKelham_Nordic_Wireless(DeviceIds::kJessam, parent)
{
}
