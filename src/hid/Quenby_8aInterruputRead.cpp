#include "hid/Quenby_8aInterruputRead.h"

#include "common/DeviceIds.h"
#include "hid/khid/KUSBDevice.h"

Quenby_8aInterruputRead::Quenby_8aInterruputRead(QObject* parent)
    : QThread(parent),
      m_loop([this](const QString& text) { emit postMsg(text); },
             [this](const QString& data) { emit sigData(data); })
{
}

Quenby_8aInterruputRead::~Quenby_8aInterruputRead()
{
    stop();
}

void Quenby_8aInterruputRead::setPid(int pid)
{
    m_pid.store(static_cast<quint16>(pid));
}

void Quenby_8aInterruputRead::stop()
{
    m_loop.stopAndJoin(*this);
}

void Quenby_8aInterruputRead::run()
{
    m_loop.renewChannel();
    const quint16 pid = m_pid.load();
    const bool opened = m_loop.open([pid](KHID::KUSBDevice* channel) {
        return channel->initDevice(DeviceIds::kVendorId, pid, kUsage, kUsagePage, quint16(0));
    });
    if (opened)
        m_loop.readLoop(-1, false);
}
