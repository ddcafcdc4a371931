#pragma once

#include "hid/khid/KHidDetail.h"
#include "platform/hid/HidTypes.h"

#include <QObject>

#include <functional>

namespace KHID {

// One opened HID interface: a write handle, a read handle, the interface's record and two fixed staging
// buffers. Takes no lock of its own: callers serialise transactions on a shared channel.
class KUSBDevice : public QObject
{
    Q_OBJECT
public:
    static constexpr quint32 kBufferSize = 2048;

    explicit KUSBDevice(QObject* parent = nullptr);
    ~KUSBDevice() override;

    // Finds the first interface with these ids, usage and usage page, and, when featureReportLength is not
    // 0, that feature report length; then opens it.
    bool initDevice(quint16 vendorId, quint16 productId, quint16 usage, quint16 usagePage,
                    quint16 featureReportLength);
    // The same, for the first interface whose path contains pathPart (case-sensitive).
    bool initDevice(quint16 vendorId, quint16 productId, quint16 usage, quint16 usagePage,
                    const QString& pathPart);

    bool open();
    bool close();

    // Feature report of the interface's report id: payload of 1 to R-1 bytes (R = feature report length).
    bool sendFeature(const BYTE* payload, quint32 length);
    // Reads the interface's feature report and copies its R-1 payload bytes (id stripped) to out;
    // false when outSize is smaller than that.
    bool readFeature(BYTE* out, quint32 outSize);
    bool sendFeature(const BYTE& reportId, const BYTE* payload, quint32 length);
    // Reads the feature report reportId and copies all R bytes, id byte included; false when outSize is
    // smaller than R.
    bool readFeature(const BYTE& reportId, BYTE* out, quint32 outSize);

    bool writeData(const BYTE* buffer, quint32 length, DWORD* written);
    bool readData(BYTE* buffer, quint32 length, DWORD* read, int timeoutMs = -1);

    // Output report: id, payload of at most R-1 bytes, zero tail up to R (R = output report length).
    bool sendOutputReport(const BYTE& reportId, const BYTE* payload, quint32 length);
    // Input report reportId, id byte included; copies at most length bytes of it to out.
    bool readInputReport(const BYTE& reportId, BYTE* out, quint32 length);

    // Interface report id, then length payload bytes (at most kBufferSize - 1), as one raw write or read.
    bool writeReportWithId(const BYTE* payload, quint32 length, DWORD* written);
    bool readReportWithId(BYTE* out, quint32 length, DWORD* read);
    // Runs of reports of chunk + 1 bytes (id, then chunk bytes); refused when the run does not fit the
    // receive buffer it is staged in.
    bool writeReportChunks(const BYTE* payload, quint32 total, quint32 chunk);
    bool readReportChunks(BYTE* out, quint32 chunk, quint32 count);

    bool setDeviceDetail(const KHidDetail& detail);
    KHidDetail deviceDetail() const;
    HANDLE writeHandle() const;
    HANDLE readHandle() const;
    bool isOpened() const;
    void printDeviceDetail() const;

private:
    bool initDeviceMatching(const std::function<bool(const KHidDetail&)>& matches);

    KHidDetail m_detail;
    HANDLE m_writeHandle = INVALID_HANDLE_VALUE;
    HANDLE m_readHandle = INVALID_HANDLE_VALUE;
    BYTE m_sendBuffer[kBufferSize];
    BYTE m_receiveBuffer[kBufferSize];
    bool m_opened = false;
};

} // namespace KHID
