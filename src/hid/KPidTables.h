#pragma once

// Tables that relate product ids: the keyboard's wired id to its wireless id, and product id to the
// device-type name by which layouts, profiles and the user interface know the model. Both hold the models
// the catalogue marks as recognised by the watch.

#include "common/DeviceIds.h"

#include <QMap>
#include <QString>

namespace KPidTablesDetail {

inline QMap<int, int> wirelessPids()
{
    QMap<int, int> table;
    for (const DeviceIds::Model& m : DeviceIds::kModels) {
        if (m.has(DeviceIds::Flag::Recognised) && m.link == DeviceIds::Link::Wired && m.partner != 0)
            table.insert(m.pid, m.partner);
    }
    return table;
}

inline QMap<int, QString> pidNames()
{
    QMap<int, QString> table;
    for (const DeviceIds::Model& m : DeviceIds::kModels) {
        if (m.has(DeviceIds::Flag::Recognised))
            table.insert(m.pid, QString::fromLatin1(m.typeName));
    }
    return table;
}

} // namespace KPidTablesDetail

inline const QMap<int, int> kWirelessPidTable = KPidTablesDetail::wirelessPids();
// Grows only in a simulated run (recogniseSimulatedModel); read-only otherwise.
inline QMap<int, QString> kPidNameTable = KPidTablesDetail::pidNames();

// The watch's seam for a simulated run: the watch and the device picker also take a model the catalogue does
// not mark as recognised (a mouse of a family the product factory does not create). Its wireless id, if any,
// is not paired with a wired one: only the keyboard asks for its cable. GUI thread, before the watch starts.
inline void recogniseSimulatedModel(int pid)
{
    if (const DeviceIds::Model* m = DeviceIds::find(pid))
        kPidNameTable.insert(pid, QString::fromLatin1(m->typeName));
}
