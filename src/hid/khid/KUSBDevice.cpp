#include "hid/khid/KUSBDevice.h"

#include "hid/khid/KHidFunctions.h"

#include <QDebug>

#include <cstring>
#include <vector>

namespace KHID {

KUSBDevice::KUSBDevice(QObject* parent)
    : QObject(parent)
{
    std::memset(m_sendBuffer, 0, sizeof m_sendBuffer);
    std::memset(m_receiveBuffer, 0, sizeof m_receiveBuffer);
    qDebug() << "+USBDevice";
}

KUSBDevice::~KUSBDevice()
{
    qDebug() << "~USBDevice";
    if (m_opened)
        close();
}

bool KUSBDevice::initDeviceMatching(const std::function<bool(const KHidDetail&)>& matches)
{
    bool found = false;
    enumHidDevices([&](KHidDetail detail, bool& keepGoing) {
        if (!matches(detail))
            return;
        m_detail = detail;
        found = true;
        keepGoing = false;
    });
    if (!found)
        return false;
    qDebug() << "Init Device:";
    printHidDetail(m_detail);
    return open();
}

bool KUSBDevice::initDevice(quint16 vendorId, quint16 productId, quint16 usage, quint16 usagePage,
                            quint16 featureReportLength)
{
    if (m_opened) {
        qDebug() << "initDevice : Device正在运行，请先停止Device!";
        return false;
    }
    return initDeviceMatching([=](const KHidDetail& d) {
        return d.vendorId == vendorId && d.productId == productId && d.capabilities.usage == usage
            && d.capabilities.usagePage == usagePage
            && (featureReportLength == 0 || d.capabilities.featureReportByteLength == featureReportLength);
    });
}

bool KUSBDevice::initDevice(quint16 vendorId, quint16 productId, quint16 usage, quint16 usagePage,
                            const QString& pathPart)
{
    if (m_opened) {
        qDebug() << "initDevice : Device正在运行，请先停止Device!";
        return false;
    }
    return initDeviceMatching([=](const KHidDetail& d) {
        return d.vendorId == vendorId && d.productId == productId && d.capabilities.usage == usage
            && d.capabilities.usagePage == usagePage && d.devicePath.contains(pathPart, Qt::CaseSensitive);
    });
}

bool KUSBDevice::open()
{
    if (m_opened)
        return false;
    // The report lengths come from the device; every transfer stages a whole report in a fixed buffer.
    const HidCaps& caps = m_detail.capabilities;
    if (caps.inputReportByteLength > kBufferSize || caps.outputReportByteLength > kBufferSize
        || caps.featureReportByteLength > kBufferSize) {
        qWarning() << "[ERROR] report lengths exceed the transfer buffers:" << m_detail.devicePath;
        return false;
    }
    if (!openWriteHandle(m_detail.devicePath, m_writeHandle)) {
        qDebug() << "打开写入句柄失败";
        return false;
    }
    if (!openReadHandle(m_detail.devicePath, m_readHandle)) {
        qDebug() << "打开读取句柄失败";
        closeHandle(m_writeHandle);
        m_writeHandle = INVALID_HANDLE_VALUE;
        return false;
    }
    m_opened = true;
    return true;
}

bool KUSBDevice::close()
{
    closeHandle(m_writeHandle);
    closeHandle(m_readHandle);
    m_writeHandle = INVALID_HANDLE_VALUE;
    m_readHandle = INVALID_HANDLE_VALUE;
    m_opened = false;
    return true;
}

bool KUSBDevice::sendFeature(const BYTE* payload, quint32 length)
{
    return sendFeature(m_detail.reportId(), payload, length);
}

bool KUSBDevice::sendFeature(const BYTE& reportId, const BYTE* payload, quint32 length)
{
    const quint32 r = m_detail.capabilities.featureReportByteLength;
    if (!m_opened || !payload || length == 0 || length >= r)
        return false;
    std::memset(m_sendBuffer, 0, r);
    m_sendBuffer[0] = reportId;
    std::memcpy(m_sendBuffer + 1, payload, length);
    return sendFeatureToHandle(m_writeHandle, m_sendBuffer, r);
}

bool KUSBDevice::readFeature(BYTE* out, quint32 outSize)
{
    const quint32 r = m_detail.capabilities.featureReportByteLength;
    if (!m_opened || !out || r == 0 || outSize < r - 1)
        return false;
    std::memset(m_receiveBuffer, 0, r);
    m_receiveBuffer[0] = m_detail.reportId();
    if (!readFeatureFromHandle(m_readHandle, m_receiveBuffer, r))
        return false;
    std::memcpy(out, m_receiveBuffer + 1, r - 1);
    return true;
}

bool KUSBDevice::readFeature(const BYTE& reportId, BYTE* out, quint32 outSize)
{
    const quint32 r = m_detail.capabilities.featureReportByteLength;
    if (!m_opened || !out || r == 0 || outSize < r)
        return false;
    std::memset(m_receiveBuffer, 0, r);
    m_receiveBuffer[0] = reportId;
    if (!readFeatureFromHandle(m_readHandle, m_receiveBuffer, r))
        return false;
    std::memcpy(out, m_receiveBuffer, r);
    return true;
}

bool KUSBDevice::writeData(const BYTE* buffer, quint32 length, DWORD* written)
{
    if (!m_opened)
        return false;
    return writeDataToHandle(m_writeHandle, buffer, length, written);
}

bool KUSBDevice::readData(BYTE* buffer, quint32 length, DWORD* read, int timeoutMs)
{
    if (!m_opened)
        return false;
    return readDataFromHandle(m_readHandle, buffer, length, read, timeoutMs);
}

bool KUSBDevice::sendOutputReport(const BYTE& reportId, const BYTE* payload, quint32 length)
{
    const quint32 r = m_detail.capabilities.outputReportByteLength;
    if (!m_opened || r == 0 || length > r - 1 || (length > 0 && !payload))
        return false;
    std::memset(m_sendBuffer, 0, r);
    m_sendBuffer[0] = reportId;
    if (length > 0)
        std::memcpy(m_sendBuffer + 1, payload, length);
    return sendOutputReportToHandle(m_writeHandle, m_sendBuffer, r);
}

bool KUSBDevice::readInputReport(const BYTE& reportId, BYTE* out, quint32 length)
{
    const quint32 r = m_detail.capabilities.inputReportByteLength;
    if (!m_opened || !out || r == 0)
        return false;
    std::memset(m_receiveBuffer, 0, r);
    m_receiveBuffer[0] = reportId;
    if (!readInputReportToHandle(m_readHandle, m_receiveBuffer, r))
        return false;
    std::memcpy(out, m_receiveBuffer, qMin(length, r));
    return true;
}

bool KUSBDevice::writeReportWithId(const BYTE* payload, quint32 length, DWORD* written)
{
    // No interface we open has a report longer than the transfer buffers (see open()).
    if (!m_opened || (length > 0 && !payload) || length >= kBufferSize)
        return false;
    std::vector<BYTE> report(std::size_t(length) + 1, 0);
    report[0] = m_detail.reportId();
    if (length > 0)
        std::memcpy(report.data() + 1, payload, length);
    return writeData(report.data(), length + 1, written);
}

bool KUSBDevice::readReportWithId(BYTE* out, quint32 length, DWORD* read)
{
    if (!m_opened || !out || length >= kBufferSize)
        return false;
    std::vector<BYTE> report(std::size_t(length) + 1, 0);
    report[0] = m_detail.reportId();
    if (!readData(report.data(), length + 1, read))
        return false;
    std::memcpy(out, report.data() + 1, length);
    return true;
}

bool KUSBDevice::writeReportChunks(const BYTE* payload, quint32 total, quint32 chunk)
{
    if (!m_opened || chunk == 0 || (total > 0 && !payload))
        return false;
    const quint64 reports = (quint64(total) + chunk - 1) / chunk;
    const quint64 runLength = reports * (quint64(chunk) + 1);
    if (runLength > kBufferSize)
        return false;
    std::memset(m_receiveBuffer, 0, kBufferSize);
    for (quint64 i = 0; i < reports; ++i) {
        BYTE* report = m_receiveBuffer + i * (chunk + 1);
        report[0] = m_detail.reportId();
        const quint64 offset = i * chunk;
        std::memcpy(report + 1, payload + offset, qMin<quint64>(chunk, total - offset));
    }
    return writeChunksToHandle(m_writeHandle, m_receiveBuffer, DWORD(runLength), chunk + 1);
}

bool KUSBDevice::readReportChunks(BYTE* out, quint32 chunk, quint32 count)
{
    if (!m_opened || !out || chunk == 0)
        return false;
    const quint64 runLength = quint64(count) * (quint64(chunk) + 1);
    if (runLength > kBufferSize)
        return false;
    std::memset(m_receiveBuffer, 0, std::size_t(runLength));
    if (!readChunksFromHandle(m_readHandle, m_receiveBuffer, chunk + 1, count))
        return false;
    for (quint32 i = 0; i < count; ++i)
        std::memcpy(out + std::size_t(i) * chunk, m_receiveBuffer + std::size_t(i) * (chunk + 1) + 1, chunk);
    return true;
}

bool KUSBDevice::setDeviceDetail(const KHidDetail& detail)
{
    if (m_opened) {
        qDebug() << "setDeviceDetail : Device正在运行，请先停止Device";
        return false;
    }
    m_detail = detail;
    return true;
}

KHidDetail KUSBDevice::deviceDetail() const
{
    return m_detail;
}

HANDLE KUSBDevice::writeHandle() const
{
    return m_writeHandle;
}

HANDLE KUSBDevice::readHandle() const
{
    return m_readHandle;
}

bool KUSBDevice::isOpened() const
{
    return m_opened;
}

void KUSBDevice::printDeviceDetail() const
{
    printHidDetail(m_detail);
}

} // namespace KHID
