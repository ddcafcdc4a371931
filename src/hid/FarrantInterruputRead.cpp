#include "hid/FarrantInterruputRead.h"

#include "common/DeviceIds.h"
#include "hid/khid/KHidFunctions.h"
#include "hid/khid/KUSBDevice.h"

namespace {

constexpr quint16 kReceiverUsage = 2;
constexpr quint16 kVendorUsagePage = 0xFF00;
constexpr int kReceiverReportId = 0xBB;
constexpr int kMouseReportId = 5;
const char* const kMouseCollection = "col05";

} // namespace

FarrantInterruputRead::FarrantInterruputRead(QObject* parent)
    : KInterruptReadThread(parent)
{
}

FarrantInterruputRead::~FarrantInterruputRead()
{
    stop();
}

bool FarrantInterruputRead::isBatteryPollModel(quint16 pid)
{
    return DeviceIds::has(pid, DeviceIds::Flag::BatteryPoll);
}

bool FarrantInterruputRead::isReceiverModel(quint16 pid)
{
    return DeviceIds::has(pid, DeviceIds::Flag::ReportsThroughReceiver);
}

void FarrantInterruputRead::run()
{
    const quint16 pid = this->pid();
    if (isBatteryPollModel(pid)) {
        pollBattery();
        return;
    }

    loop().renewChannel();
    if (isReceiverModel(pid)) {
        const bool opened = loop().open([pid](KHID::KUSBDevice* channel) {
            return channel->initDevice(DeviceIds::kVendorId, pid, kReceiverUsage, kVendorUsagePage, quint16(0));
        });
        if (opened)
            loop().readLoop(kReceiverReportId, false);
        return;
    }

    // The mouse's fifth collection, whatever its usage.
    const bool opened = loop().open([pid](KHID::KUSBDevice* channel) {
        KHID::KHidDetail found;
        bool matched = false;
        KHID::enumHidDevices([&](KHID::KHidDetail detail, bool& keepGoing) {
            if (detail.vendorId == DeviceIds::kVendorId && detail.productId == pid
                && detail.capabilities.usagePage == kVendorUsagePage
                && detail.devicePath.contains(QLatin1String(kMouseCollection))) {
                found = detail;
                matched = true;
                keepGoing = false;
            }
        });
        return matched && channel->setDeviceDetail(found) && channel->open();
    });
    if (opened)
        loop().readLoop(kMouseReportId, true);
}

void FarrantInterruputRead::pollBattery()
{
    while (!loop().stopRequested()) {
        emit postMsg(QStringLiteral("start getBatteryValue"));
        loop().pause(kBatteryPollMs);
    }
}
