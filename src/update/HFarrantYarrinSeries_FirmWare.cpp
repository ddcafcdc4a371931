#include "update/HFarrantYarrinSeries_FirmWare.h"

#include "update/Pinnace.h"

#include "hid/khid/KHidFunctions.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>

#include <cerrno>
#include <cstring>

namespace {

constexpr quint16 kBootloaderUsagePage = 0;
constexpr quint16 kBootloaderUsage = 0;
constexpr quint16 kApplicationUsagePage = 0xFF00;
constexpr quint16 kApplicationUsage = 14;

IspTransfer::Messages messages()
{
    IspTransfer::Messages m;
    m.fileTooBig = QStringLiteral("File size is too big");
    m.sizeError = QStringLiteral("error size");
    m.numberMismatch = QStringLiteral("Packet number error");
    m.checksumError = QStringLiteral("CheckSun error");
    m.syncOk = QStringLiteral("Send sync packno cmd OK");
    m.syncFailed = QStringLiteral("Send sync packno cmd fail");
    m.resend = QStringLiteral("Resend this packet");
    return m;
}

} // namespace

HFarrantYarrinSeries_FirmWare::HFarrantYarrinSeries_FirmWare(QObject* parent)
    : QObject(parent)
    , m_transfer(this, messages())
{
    m_transfer.onPacketWritten = [](const Isp::Packet& packet, quint16 sum) {
        quint32 first = 0;
        std::memcpy(&first, packet.payload, sizeof first);
        qDebug("WriteFile: %08x %08x %08x, gcksum = %x", Isp::commandOf(packet), Isp::numberOf(packet),
               qFromLittleEndian(first), sum);
    };
    m_transfer.onReplyRead = [](quint16 sum, quint32 number) {
        qDebug("ReadFile: lcksun = %x curPacketNo = %x", sum, number);
    };
}

HFarrantYarrinSeries_FirmWare::~HFarrantYarrinSeries_FirmWare()
{
    closeBootloader();
}

void HFarrantYarrinSeries_FirmWare::cancel()
{
    m_cancelled.store(true);
    if (m_boot != KHID::INVALID_HANDLE_VALUE)
        KHID::cancelHandleIo(m_boot);
}

bool HFarrantYarrinSeries_FirmWare::openBootloader()
{
    QString path;
    if (!Pinnace::FindHidDevice(kBootloaderUsagePage, kBootloaderUsage, &path))
        return false;
    m_boot = Pinnace::OpenHidDevice(path);
    return m_boot != KHID::INVALID_HANDLE_VALUE;
}

void HFarrantYarrinSeries_FirmWare::closeBootloader()
{
    if (m_boot != KHID::INVALID_HANDLE_VALUE)
        KHID::closeHandle(m_boot);
    m_boot = KHID::INVALID_HANDLE_VALUE;
}

bool HFarrantYarrinSeries_FirmWare::enterUpdateMode()
{
    if (openBootloader()) {
        qDebug() << "enterUpdateMode";
        return true;
    }
    QString path;
    if (!Pinnace::FindHidDevice(kApplicationUsagePage, kApplicationUsage, &path))
        return false;
    const KHID::HANDLE application = Pinnace::OpenHidDevice(path);
    if (application == KHID::INVALID_HANDLE_VALUE)
        return false;
    quint8 report[Isp::kEnterBootloaderSize] = {Isp::kEnterBootloaderId, Isp::kEnterBootloaderCommand};
    KHID::DWORD written = 0;
    const bool sent = KHID::writeDataToHandle(application, report, sizeof report, &written);
    KHID::closeHandle(application);
    if (!sent) {
        qDebug("Failed to write data,error code: %d", errno);
        return false;
    }
    Platform::sleepMs(3000);
    for (int poll = 0; poll < 5 && !m_cancelled.load(); ++poll) {
        if (openBootloader())
            break;
        Platform::sleepMs(2000);
    }
    qDebug("m_hBoot = %llx", static_cast<unsigned long long>(m_boot));
    return m_boot != KHID::INVALID_HANDLE_VALUE;
}

void HFarrantYarrinSeries_FirmWare::slot_Update(QString path)
{
    m_cancelled.store(false);
    // The file is read and checked before the mouse leaves its application.
    qDebug() << "path:" << path;
    if (!m_transfer.loadImage(path)) {
        qDebug() << "Get file info fail";
        emit sigUpdateResult(false);
        return;
    }
    if (!enterUpdateMode()) {
        qDebug() << "FW don't not enter updatemode";
        emit sigUpdateResult(false);
        return;
    }
    qDebug("Need to transfer %d bytes", m_transfer.imageLength());
    int index = 0;
    const bool ok = m_transfer.transfer(true, [this, &index](int sent, int total) {
        if (sent > 0) {
            qDebug("Send index %d:  %d bytes", index++, sent);
            qDebug() << "Sending next packets...";
        }
        emit sigPercent(total > 0 ? uint(qint64(sent) * 100 / total) : 0u);
    });
    // Also after a failed transfer: the mouse is never left waiting in its bootloader (once cancelled, nothing
    // more is written).
    m_transfer.runApplication();
    closeBootloader();
    if (!ok) {
        qDebug() << "update fw file failed";
        emit sigUpdateResult(false);
        return;
    }
    emit sigPercent(100);
    Platform::sleepMs(2000);
    emit sigUpdateResult(true);
}

bool HFarrantYarrinSeries_FirmWare::writeReport(const quint8* report, int length)
{
    if (m_cancelled.load())
        return false;
    KHID::DWORD written = 0;
    if (!KHID::writeDataToHandle(m_boot, report, KHID::DWORD(length), &written) || int(written) != length) {
        qDebug("Failed to write data,error code: %d", errno);
        return false;
    }
    return true;
}

int HFarrantYarrinSeries_FirmWare::readReport(quint8* report, int capacity)
{
    if (m_cancelled.load())
        return -1;
    KHID::DWORD read = 0;
    if (!KHID::readDataFromHandle(m_boot, report, KHID::DWORD(capacity), &read, kReadTimeoutMs)) {
        qDebug() << "Failed to read data,error code" << errno;
        return -1;
    }
    return int(read);
}
