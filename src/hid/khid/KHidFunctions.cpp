#include "hid/khid/KHidFunctions.h"

#include "platform/hid/HidBackend.h"

#include <QDebug>
#include <QLoggingCategory>

#include <cstdio>
#include <cstring>
#include <vector>

namespace KHID {
namespace {

constexpr int kMaxFeatureValueCaps = 10;

void printOut(const char* text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool openHandle(const QString& path, HidAccess access, HANDLE& handle)
{
    HidBackend* backend = hidBackend();
    handle = backend ? backend->open(path, access) : INVALID_HANDLE_VALUE;
    if (handle == INVALID_HANDLE_VALUE) {
        printOut("error : CreateFile");
        return false;
    }
    return true;
}

// One whole-report transfer on a handle; the bytes are dumped only when it succeeded.
template <typename Transfer>
bool reportTransfer(HANDLE handle, const BYTE* buffer, DWORD length, Transfer transfer)
{
    HidBackend* backend = hidBackend();
    if (!backend || handle == INVALID_HANDLE_VALUE || !buffer)
        return false;
    if (!transfer(*backend))
        return false;
    printBuffer(buffer, int(length), 8);
    return true;
}

} // namespace

void enumHidDevices(EnumCallback callback)
{
    HidBackend* backend = hidBackend();
    if (!backend || !callback)
        return;
    const QStringList paths = backend->enumerate();
    for (const QString& path : paths) {
        bool keepGoing = true;
        KHidDetail detail;
        if (!getHidDetail(path, detail))
            continue;
        callback(detail, keepGoing);
        if (!keepGoing)
            break;
    }
}

bool getHidDetail(const QString& path, KHidDetail& detail)
{
    HidBackend* backend = hidBackend();
    HidInterfaceInfo info;
    if (!backend || !backend->queryInterface(path, info)) {
        printOut("error : CreateFile ");
        return false;
    }
    detail.devicePath = path;
    detail.vendorId = info.vendorId;
    detail.productId = info.productId;
    detail.versionNumber = info.versionNumber;
    detail.productName = info.productName;
    detail.capabilities = info.caps;
    // The capabilities are read into a fixed table of ten entries; the rest are not reported.
    detail.featureValueCaps = info.featureValueCaps.mid(0, kMaxFeatureValueCaps);
    return true;
}

bool openWriteHandle(const QString& path, HANDLE& handle)
{
    return openHandle(path, HidAccess::ReadWrite, handle);
}

bool openReadHandle(const QString& path, HANDLE& handle)
{
    return openHandle(path, HidAccess::Read, handle);
}

void closeHandle(HANDLE handle)
{
    if (handle == INVALID_HANDLE_VALUE)
        return;
    if (HidBackend* backend = hidBackend())
        backend->close(handle);
}

void cancelHandleIo(HANDLE handle)
{
    if (handle == INVALID_HANDLE_VALUE)
        return;
    if (HidBackend* backend = hidBackend())
        backend->cancel(handle);
}

bool sendFeatureToHandle(HANDLE handle, const BYTE* buffer, DWORD length)
{
    return reportTransfer(handle, buffer, length,
                          [&](HidBackend& backend) { return backend.setFeature(handle, buffer, length); });
}

bool readFeatureFromHandle(HANDLE handle, BYTE* buffer, DWORD length)
{
    return reportTransfer(handle, buffer, length,
                          [&](HidBackend& backend) { return backend.getFeature(handle, buffer, length); });
}

bool sendOutputReportToHandle(HANDLE handle, const BYTE* buffer, DWORD length)
{
    return reportTransfer(handle, buffer, length, [&](HidBackend& backend) {
        quint32 written = 0;
        return backend.write(handle, buffer, length, &written);
    });
}

bool readInputReportToHandle(HANDLE handle, BYTE* buffer, DWORD length)
{
    return reportTransfer(handle, buffer, length,
                          [&](HidBackend& backend) { return backend.getInputReport(handle, buffer, length); });
}

bool writeDataToHandle(HANDLE handle, const BYTE* buffer, DWORD length, DWORD* written)
{
    HidBackend* backend = hidBackend();
    DWORD count = 0;
    if (written)
        *written = 0;
    if (!backend || handle == INVALID_HANDLE_VALUE || !buffer)
        return false;
    if (!backend->write(handle, buffer, length, &count))
        return false;
    if (written)
        *written = count;
    printBuffer(buffer, int(count), 8);
    return true;
}

bool readDataFromHandle(HANDLE handle, BYTE* buffer, DWORD length, DWORD* read, int timeoutMs)
{
    HidBackend* backend = hidBackend();
    DWORD count = 0;
    if (read)
        *read = 0;
    if (!backend || handle == INVALID_HANDLE_VALUE || !buffer)
        return false;
    if (!backend->read(handle, buffer, length, &count, timeoutMs))
        return false;
    if (read)
        *read = count;
    printBuffer(buffer, int(count), 8);
    return true;
}

bool writeChunksToHandle(HANDLE handle, const BYTE* data, DWORD total, DWORD pieceSize)
{
    if (total == 0)
        return true;
    if (!data || pieceSize == 0)
        return false;
    // 64-bit offset: the last step may pass the end of a run close to 4 GiB.
    for (quint64 offset = 0; offset < total; offset += pieceSize) {
        const DWORD left = DWORD(total - offset);
        DWORD written = 0;
        if (left >= pieceSize) {
            if (!writeDataToHandle(handle, data + offset, pieceSize, &written))
                return false;
        } else {
            std::vector<BYTE> last(pieceSize, 0);
            std::memcpy(last.data(), data + offset, left);
            if (!writeDataToHandle(handle, last.data(), pieceSize, &written))
                return false;
        }
    }
    return true;
}

bool readChunksFromHandle(HANDLE handle, BYTE* buffer, DWORD pieceSize, DWORD count)
{
    if (count == 0)
        return true;
    if (!buffer || pieceSize == 0)
        return false;
    for (DWORD i = 0; i < count; ++i) {
        DWORD read = 0;
        if (!readDataFromHandle(handle, buffer + std::size_t(i) * pieceSize, pieceSize, &read))
            return false;
    }
    return true;
}

void printBuffer(const BYTE* bytes, int length, int perLine)
{
    // Every transfer comes through here: format the dump only when someone may read it.
    const QLoggingCategory* category = QLoggingCategory::defaultCategory();
    if (!category || !category->isDebugEnabled())
        return;
    qDebug().noquote() << "----- print buffer -----";
    qDebug().noquote() << QStringLiteral("bufferSize: %1").arg(length);
    if (!bytes || length <= 0)
        return;
    if (perLine <= 0)
        perLine = 8;
    QString line;
    int onLine = 0;
    for (int i = 0; i < length; ++i) {
        line += QString::asprintf("[%2d:0x%2x] ", i, unsigned(bytes[i]));
        if (++onLine == perLine) {
            qDebug().noquote() << line;
            line.clear();
            onLine = 0;
        }
    }
    if (onLine > 0)
        qDebug().noquote() << line;
}

void printHidDetail(const KHidDetail& detail)
{
    const HidCaps& caps = detail.capabilities;
    qDebug().noquote() << "----- base info -----";
    qDebug().noquote() << "DevicePath: " + detail.devicePath;
    qDebug().noquote() << QString::asprintf("VendorID: 0x%x", unsigned(detail.vendorId));
    qDebug().noquote() << QString::asprintf("ProductID: 0x%x", unsigned(detail.productId));
    qDebug().noquote() << QStringLiteral("VersionNumber: %1").arg(detail.versionNumber);
    qDebug().noquote() << "DeviceName: " + detail.productName;
    qDebug().noquote() << "----- capAbilities -----";
    qDebug().noquote() << QString::asprintf("Usage: 0x%x", unsigned(caps.usage));
    qDebug().noquote() << QString::asprintf("UsagePage: 0x%x", unsigned(caps.usagePage));
    qDebug().noquote() << QStringLiteral("Feature report: %1").arg(caps.numberFeatureValueCaps);
    qDebug().noquote() << QStringLiteral("NumberFeatureValueCaps: %1").arg(caps.numberFeatureValueCaps);
    qDebug().noquote() << QStringLiteral("FeatureReportByteLength: %1").arg(caps.featureReportByteLength);
    qDebug().noquote() << QStringLiteral("NumberInputValueCaps: %1").arg(caps.numberInputValueCaps);
    qDebug().noquote() << QStringLiteral("InputReportByteLength: %1").arg(caps.inputReportByteLength);
    qDebug().noquote() << QStringLiteral("NumberOutputValueCaps: %1").arg(caps.numberOutputValueCaps);
    qDebug().noquote() << QStringLiteral("OutputReportByteLength: %1").arg(caps.outputReportByteLength);
    printValueCaps(detail);
}

void printValueCaps(const KHidDetail& detail)
{
    qDebug().noquote() << QStringLiteral("----- capAbilities Value ----- capAbilitiesValue count: %1")
                              .arg(detail.featureValueCaps.size());
    for (const HidValueCaps& value : detail.featureValueCaps)
        qDebug().noquote() << QStringLiteral("ReportID: %1").arg(value.reportId);
    qDebug().noquote() << "\n";
}

} // namespace KHID
