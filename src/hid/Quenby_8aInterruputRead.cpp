#include "hid/Quenby_8aInterruputRead.h"

#include "common/DeviceIds.h"
#include "hid/khid/KUSBDevice.h"

namespace {
constexpr unsigned long kStopPollMs = 50;
}

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
    m_pid = static_cast<quint16>(pid);
}

// A stop can land between the loop's check and its next read; asking again until the thread has ended
// wakes that read too.
void Quenby_8aInterruputRead::stop()
{
    m_loop.requestStop();
    while (!wait(kStopPollMs))
        m_loop.requestStop();
}

void Quenby_8aInterruputRead::run()
{
    m_loop.renewChannel();
    const quint16 pid = m_pid;
    const bool opened = m_loop.open([pid](KHID::KUSBDevice* channel) {
        return channel->initDevice(DeviceIds::kVendorId, pid, kUsage, kUsagePage, quint16(0));
    });
    if (opened)
        m_loop.readLoop(-1, false);
}
