#pragma once

#include <QString>
#include <QtGlobal>

namespace KHID {

// The Windows-like device path of one top-level collection, lower case:
//   \\?\hid#vid_1a2b&pid_3c4d&mi_02&col01#<node>
// interfaceNumber < 0 leaves out "&mi_NN" (not a composite device); collectionIndex 0 leaves out "&colNN"
// (the interface has a single collection), otherwise it is the 1-based index.
QString formatHidPath(quint16 vendorId, quint16 productId, int interfaceNumber, int collectionIndex,
                      const QString& node);

// Reads the vid_/pid_ tokens back out of such a path; false when the path has none.
bool parseHidPathIds(const QString& path, quint16* vendorId, quint16* productId);

} // namespace KHID
