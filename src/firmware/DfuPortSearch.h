#pragma once

#include "platform/sys/PlatformTime.h"

#include <QList>
#include <QString>

// Looks for the serial port of a DFU bootloader: a few rounds over the serial ports, a pause between rounds,
// the first port whose USB ids match wins.
namespace DfuPortSearch {

struct Result {
    QString portName;         // empty when none was found
    bool stopped = false;     // the search was asked to stop
};

// Ports of vendorId whose product id is one of productIds; rounds listings, intervalMs apart (through the
// sleep, which another thread may interrupt to stop the search).
Result find(quint16 vendorId, const QList<quint16>& productIds, int rounds, int intervalMs,
            Platform::InterruptibleSleep& sleep);

} // namespace DfuPortSearch
