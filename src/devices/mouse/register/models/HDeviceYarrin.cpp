#include "devices/mouse/register/models/HDeviceYarrin.h"

#include "common/DeviceIds.h"

HDeviceYarrin::HDeviceYarrin(QObject* parent)
    : HDeviceYarrin(DeviceIds::kYarrin, parent)
{
}

HDeviceYarrin::HDeviceYarrin(int pid, QObject* parent)
    : KDeviceFarrant(pid, parent)
{
}

QVector<int> HDeviceYarrin::getDpiList()
{
    return readFiveStages();
}

bool HDeviceYarrin::setDpiList(const QVector<int>& values)
{
    return writeFiveStages(values);
}
