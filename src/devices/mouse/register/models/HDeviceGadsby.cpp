#include "devices/mouse/register/models/HDeviceGadsby.h"

#include "common/DeviceIds.h"

HDeviceGadsby::HDeviceGadsby(QObject* parent)
    : HDeviceGadsby(DeviceIds::kGadsby, parent)
{
}

HDeviceGadsby::HDeviceGadsby(int pid, QObject* parent)
    : KDeviceFarrant(pid, parent)
{
}

QVector<int> HDeviceGadsby::getDpiList()
{
    return readFiveStages();
}

bool HDeviceGadsby::setDpiList(const QVector<int>& values)
{
    return writeFiveStages(values);
}
