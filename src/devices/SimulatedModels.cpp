#include "devices/SimulatedModels.h"

#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "hid/KPidTables.h"

void useSimulatedModels(const QList<quint16>& productIds)
{
    QList<quint16> extra;
    for (quint16 pid : productIds) {
        if (!DeviceFactory::serves(pid) && DeviceFactory::modelIds().contains(pid)) {
            extra.append(pid);
            recogniseSimulatedModel(pid);
        }
    }
    if (extra.isEmpty())
        return;
    HDeviceManager::instance()->setFactory([extra](int pid) -> KBaseDevice* {
        if (KBaseDevice* device = DeviceFactory::create(pid))
            return device;
        return extra.contains(quint16(pid)) ? DeviceFactory::createModel(pid) : nullptr;
    });
}
