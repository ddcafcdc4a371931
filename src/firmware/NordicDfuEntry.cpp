#include "firmware/NordicDfuEntry.h"

#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

namespace NordicDfuEntry {
namespace {

constexpr quint8 kEnterDfuId = 0xBA;
constexpr int kEnterDfuData = 32;
constexpr int kAttempts = 3;
constexpr int kPauseMs = 100;

} // namespace

bool enterDfu(quint16 vendorId, quint16 productId, quint16 usage, quint16 usagePage)
{
    KHID::KUSBDevice device;
    bool opened = false;
    for (int attempt = 0; attempt < kAttempts && !opened; ++attempt) {
        opened = device.initDevice(vendorId, productId, usage, usagePage, quint16(0));
        if (!opened && attempt + 1 < kAttempts)
            Platform::sleepMs(kPauseMs);
    }
    if (!opened)
        return false;
    const quint8 data[kEnterDfuData] = {0xFF, 0xA8};
    bool sent = false;
    for (int attempt = 0; attempt < kAttempts && !sent; ++attempt) {
        sent = device.sendOutputReport(kEnterDfuId, data, sizeof data);
        if (!sent && attempt + 1 < kAttempts)
            Platform::sleepMs(kPauseMs);
    }
    device.close();
    return sent;
}

} // namespace NordicDfuEntry
