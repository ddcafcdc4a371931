#include "devices/mouse/twopage/UlverdTransport.h"

#include "devices/mouse/twopage/UlverdProtocol.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>

using namespace Ulverd;

namespace {
// Stale reports dropped before an exchange, at most (a report queue never holds more).
constexpr int kMaxStaleReports = 64;
}

QByteArray UlverdTransport::request(std::initializer_list<quint8> head)
{
    QByteArray report(kReportSize, '\0');
    report[0] = char(kReportId);
    int i = 1;
    for (quint8 byte : head) {
        if (i >= kReportSize)
            break;
        report[i++] = char(byte);
    }
    return report;
}

UlverdTransport::Step UlverdTransport::write(int sleepMs, const QByteArray& report, const char* log,
                                             const char* errorLog)
{
    Step step;
    step.sleepMs = sleepMs;
    step.report = report;
    step.log = log;
    step.errorLog = errorLog;
    return step;
}

UlverdTransport::Step UlverdTransport::read(int sleepMs, const char* log)
{
    Step step;
    step.sleepMs = sleepMs;
    step.log = log;
    return step;
}

bool UlverdTransport::exchange(const QList<Step>& steps, QList<QByteArray>* replies)
{
    if (!m_channel || !m_channel->isOpened())
        return false;
    QMutexLocker lock(m_mutex);
    dropStaleReports();
    for (const Step& step : steps) {
        if (step.sleepMs > 0)
            Platform::sleepMs(step.sleepMs);
        bool ok;
        if (step.isRead()) {
            QByteArray report;
            ok = readReport(&report);
            if (ok && replies)
                replies->append(report);
        } else {
            ok = writeReport(step.report);
        }
        if (step.log)
            qDebug() << step.log << ok;
        if (!ok) {
            if (step.errorLog)
                qDebug() << step.errorLog;
            return false;
        }
    }
    return true;
}

bool UlverdTransport::writeReport(const QByteArray& report)
{
    if (report.size() != kReportSize)
        return false;
    KHID::DWORD written = 0;
    return m_channel->writeData(reinterpret_cast<const quint8*>(report.constData()), quint32(report.size()),
                                &written)
        && written == KHID::DWORD(report.size());
}

bool UlverdTransport::readReport(QByteArray* report)
{
    // The collection's input reports are 64 bytes; the buffer is the channel's whole receive size, as a raw
    // read needs room for the longest report the collection may send.
    QByteArray buffer(int(KHID::KUSBDevice::kBufferSize), '\0');
    KHID::DWORD got = 0;
    if (!m_channel->readData(reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size()), &got,
                             kReadTimeoutMs)
        || got < KHID::DWORD(kReportSize))
        return false;
    *report = buffer.left(kReportSize);
    return true;
}

void UlverdTransport::dropStaleReports()
{
    QByteArray buffer(int(KHID::KUSBDevice::kBufferSize), '\0');
    KHID::DWORD got = 0;
    for (int i = 0; i < kMaxStaleReports; ++i) {
        if (!m_channel->readData(reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size()), &got, 0))
            return;
        qDebug() << "[Warning] dropped a late report of the mouse";
    }
}
