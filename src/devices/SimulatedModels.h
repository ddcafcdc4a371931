#pragma once

#include <QList>
#include <QtGlobal>

// A simulated run (CORVANE_SIMULATE) may open any model whose class the device layer holds, not only those
// the product factory creates: the registry builds the simulated ids' classes through its factory seam and
// the watch recognises them. Ids that no class serves stay as the product factory leaves them.
// GUI thread, once, before the device watch starts.
void useSimulatedModels(const QList<quint16>& productIds);
