#include "firmware/DfuPortSearch.h"

#include "platform/serial/SerialPorts.h"

namespace DfuPortSearch {

Result find(quint16 vendorId, const QList<quint16>& productIds, int rounds, int intervalMs,
            Platform::InterruptibleSleep& sleep)
{
    Result result;
    for (int round = 0; round < rounds; ++round) {
        if (sleep.isInterrupted()) {
            result.stopped = true;
            return result;
        }
        for (const Platform::SerialPortInfo& port : Platform::availableSerialPorts()) {
            if (port.hasIds && port.vendorId == vendorId && productIds.contains(port.productId)) {
                result.portName = port.portName;
                return result;
            }
        }
        if (round + 1 < rounds && !sleep.sleepMs(intervalMs)) {
            result.stopped = true;
            return result;
        }
    }
    return result;
}

} // namespace DfuPortSearch
