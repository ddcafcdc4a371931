#include "devices/mouse/featurereport/DunmorTransport.h"

#include "devices/mouse/featurereport/DunmorProtocol.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Dunmor;

namespace {
// Stale pages dropped before an exchange, at most (an input queue never holds more).
constexpr int kMaxStalePages = 64;
}

QByteArray DunmorTransport::commandBytes(std::initializer_list<quint8> bytes)
{
    QByteArray command(kCommandSize, '\0');
    int i = 0;
    for (quint8 byte : bytes) {
        if (i >= kCommandSize)
            break;
        command[i++] = char(byte);
    }
    return command;
}

DunmorTransport::Step DunmorTransport::command(std::initializer_list<quint8> bytes)
{
    Step step;
    step.kind = Step::Command;
    step.bytes = commandBytes(bytes);
    return step;
}

DunmorTransport::Step DunmorTransport::reply()
{
    Step step;
    step.kind = Step::Reply;
    return step;
}

DunmorTransport::Step DunmorTransport::readPage(int size)
{
    Step step;
    step.kind = Step::ReadPage;
    step.readSize = size;
    return step;
}

DunmorTransport::Step DunmorTransport::writePage(const QByteArray& page)
{
    Step step;
    step.kind = Step::WritePage;
    step.bytes = page;
    return step;
}

quint8 DunmorTransport::reportId() const
{
    return m_channel ? m_channel->deviceDetail().reportId() : 0;
}

bool DunmorTransport::exchange(const QList<Step>& steps, QList<QByteArray>* results, int* failedStep)
{
    if (failedStep)
        *failedStep = 0;
    if (!m_channel || !m_channel->isOpened())
        return false;
    QMutexLocker lock(m_mutex);
    bool reads = false;
    for (const Step& step : steps)
        reads = reads || step.kind == Step::ReadPage;
    if (reads)
        dropStalePages();
    bool afterCommand = false;
    for (int i = 0; i < steps.size(); ++i) {
        const Step& step = steps.at(i);
        const bool isRead = step.kind == Step::Reply || step.kind == Step::ReadPage;
        Platform::sleepMs(kPacingMs);
        if (isRead && afterCommand)
            Platform::sleepMs(kPacingMs);
        bool ok = false;
        QByteArray got;
        switch (step.kind) {
        case Step::Command:
            ok = sendCommand(step.bytes);
            afterCommand = true;
            break;
        case Step::Reply:
            ok = readReply(&got);
            break;
        case Step::ReadPage:
            ok = readPageInto(step.readSize, &got);
            break;
        case Step::WritePage:
            ok = writePageBytes(step.bytes);
            break;
        }
        if (!ok) {
            if (failedStep)
                *failedStep = i;
            return false;
        }
        if (isRead && results)
            results->append(got);
    }
    return true;
}

bool DunmorTransport::sendCommand(const QByteArray& command)
{
    if (command.size() != kCommandSize)
        return false;
    return m_channel->sendFeature(reinterpret_cast<const quint8*>(command.constData()), quint32(command.size()));
}

bool DunmorTransport::readReply(QByteArray* reply)
{
    // The feature report's payload after its id; a longer report than ours is refused by the channel.
    QByteArray buffer(int(KHID::KUSBDevice::kBufferSize), '\0');
    if (!m_channel->readFeature(reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size())))
        return false;
    *reply = buffer.left(kCommandSize);
    return true;
}

bool DunmorTransport::readPageInto(int size, QByteArray* page)
{
    // A read takes one input report; the buffer is at least the channel's input report.
    const int length = qMax(size, int(m_channel->deviceDetail().capabilities.inputReportByteLength));
    if (length <= 0 || length > int(KHID::KUSBDevice::kBufferSize))
        return false;
    QByteArray buffer(length, '\0');
    KHID::DWORD got = 0;
    if (!m_channel->readData(reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size()), &got, kReadTimeoutMs)
        || got == 0)
        return false;
    // Bytes past the report read are zero, as the caller's buffer was.
    *page = buffer.left(int(got));
    if (page->size() < size)
        page->append(QByteArray(size - page->size(), '\0'));
    return true;
}

bool DunmorTransport::writePageBytes(const QByteArray& page)
{
    if (page.size() != kPageSize)
        return false;
    KHID::DWORD written = 0;
    return m_channel->writeData(reinterpret_cast<const quint8*>(page.constData()), quint32(page.size()), &written)
        && written == KHID::DWORD(page.size());
}

void DunmorTransport::dropStalePages()
{
    QByteArray buffer(int(KHID::KUSBDevice::kBufferSize), '\0');
    KHID::DWORD got = 0;
    for (int i = 0; i < kMaxStalePages; ++i) {
        if (!m_channel->readData(reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size()), &got, 0))
            return;
        qDebug() << "[Warning] dropped a late page of the mouse";
    }
}
