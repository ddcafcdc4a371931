#include "hid/Quenby_8aInterruputRead.h"

#include "common/DeviceIds.h"
#include "hid/khid/KUSBDevice.h"

Quenby_8aInterruputRead::Quenby_8aInterruputRead(QObject* parent)
    : KInterruptReadThread(parent)
{
}

Quenby_8aInterruputRead::~Quenby_8aInterruputRead()
{
    stop();
}

void Quenby_8aInterruputRead::run()
{
    loop().renewChannel();
    const quint16 pid = this->pid();
    const bool opened = loop().open([pid](KHID::KUSBDevice* channel) {
        return channel->initDevice(DeviceIds::kVendorId, pid, kUsage, kUsagePage, quint16(0));
    });
    if (opened)
        loop().readLoop(-1, false);
}
