#include "sim/firmware/SimCawdorMouse.h"

#include "common/DeviceIds.h"
#include "sim/bus/SimBus.h"

#include <QCryptographicHash>
#include <QDebug>

#include <cstring>

namespace {

constexpr quint16 kApplicationUsagePage = 0xFF00;
constexpr quint16 kApplicationUsage = 14;
constexpr int kShortReply = 33;

} // namespace

SimCawdorMouse::SimCawdorMouse(SimBus* bus, quint16 productId, quint16 bootloaderUsagePage)
    : SimEmulator(bus)
    , m_pid(productId)
    , m_bootPage(bootloaderUsagePage)
{
    m_application.output = [this](const QByteArray& report) { return onApplicationOutput(report); };
    m_bootloader.output = [this](const QByteArray& report) { return onBootloaderOutput(report); };
}

SimCawdorMouse::~SimCawdorMouse()
{
    unplug();
}

void SimCawdorMouse::setFaults(const Faults& faults)
{
    QMutexLocker lock(&m_mutex);
    m_faults = faults;
    m_checksumFaultUsed = false;
}

void SimCawdorMouse::plugApplication()
{
    replug(false);
}

void SimCawdorMouse::plugBootloader()
{
    replug(true);
}

void SimCawdorMouse::replug(bool toBootloader)
{
    if (toBootloader) {
        const quint16 input = locked(m_faults).shortReplies ? kShortReply : Isp::kReportSize;
        replugInterfaces({{describe(DeviceIds::kHidBootloader, 0x0100, QStringLiteral("HID bootloader"),
                                    {SimCollection::make(m_bootPage, 0, input, Isp::kReportSize, 0)}),
                           {&m_bootloader}}});
    } else {
        replugInterfaces({{describe(m_pid, 0x0100, QStringLiteral("Cawdor mouse"),
                                    {SimCollection::make(kApplicationUsagePage, kApplicationUsage, 0,
                                                         Isp::kEnterBootloaderSize, 0)}),
                           {&m_application}}});
    }
    QMutexLocker lock(&m_mutex);
    m_inBootloader = toBootloader;
}

bool SimCawdorMouse::onApplicationOutput(const QByteArray& report)
{
    if (report.size() < 2 || quint8(report.at(0)) != Isp::kEnterBootloaderId
        || quint8(report.at(1)) != Isp::kEnterBootloaderCommand)
        return true;   // other reports of the mouse are none of this emulator's business
    {
        QMutexLocker lock(&m_mutex);
        ++m_enterReports;
    }
    // The mouse drops off the bus and comes back as its bootloader.
    replug(true);
    return true;
}

void SimCawdorMouse::applyData(const Isp::Packet& packet, bool first)
{
    ++m_dataPackets;
    if (first) {
        Isp::FirstDataPayload payload;
        std::memcpy(&payload, packet.payload, sizeof payload);
        m_command = Isp::commandOf(packet) == Isp::Resend ? m_command : Isp::commandOf(packet);
        m_start = qFromLittleEndian(payload.startAddress);
        m_length = qFromLittleEndian(payload.length);
        m_received = QByteArray(reinterpret_cast<const char*>(payload.image), Isp::kFirstPayload);
    } else {
        m_received.append(reinterpret_cast<const char*>(packet.payload), Isp::kContinuationPayload);
    }
}

bool SimCawdorMouse::onBootloaderOutput(const QByteArray& report)
{
    if (report.size() < Isp::kReportSize)
        return false;
    Isp::Packet packet;
    std::memcpy(&packet, report.constData() + 1, sizeof packet);
    const quint32 command = Isp::commandOf(packet);
    const quint32 number = Isp::numberOf(packet);
    quint16 sum = Isp::checksum(packet);
    quint32 replyNumber = number + 1;
    bool silent = false;
    bool runApplication = false;
    {
        QMutexLocker lock(&m_mutex);
        m_numbers.append(number);
        switch (command) {
        case Isp::SyncPacketNumber:
            m_dataIndex = 0;
            silent = m_faults.silentSync;
            break;
        case Isp::UpdateAprom:
        case Isp::UpdateDataFlash:
        case Isp::Continuation: {
            const bool first = command != Isp::Continuation;
            const int index = m_dataIndex++;
            m_lastWasFirst = first;
            if (index == m_faults.silenceAt) {
                silent = true;
            } else if (index == m_faults.badChecksumAt && !m_checksumFaultUsed) {
                // The packet arrived damaged: it is not stored, and the reply says so.
                m_checksumFaultUsed = true;
                sum = quint16(~sum);
            } else {
                if (index == m_faults.wrongNumberAt)
                    replyNumber += 4;
                applyData(packet, first);
            }
            break;
        }
        case Isp::Resend:
            ++m_resends;
            applyData(packet, m_lastWasFirst);
            break;
        case Isp::RunAprom:
            m_ran = true;
            runApplication = true;
            silent = true;
            break;
        default:
            break;
        }
    }
    if (runApplication) {
        // Said once the whole image is stored, so that a run in another process (the update program's
        // simulated mode) shows in its log what the bootloader holds.
        const QByteArray stored = image();
        qInfo().noquote() << QStringLiteral("[Sim] the Cawdor bootloader runs its new firmware: %1 bytes, sha1 %2")
                                 .arg(stored.size())
                                 .arg(QString::fromLatin1(QCryptographicHash::hash(stored, QCryptographicHash::Sha1).toHex()));
        replug(false);
        return true;
    }
    if (!silent) {
        const Isp::Reply reply = Isp::makeReply(sum, replyNumber);
        m_bootloader.pushInputReport(QByteArray(reinterpret_cast<const char*>(&reply), sizeof reply));
    }
    return true;
}

bool SimCawdorMouse::inBootloader() const
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_inBootloader)
            return false;
    }
    return isPlugged();
}

int SimCawdorMouse::enterReports() const { return locked(m_enterReports); }

QByteArray SimCawdorMouse::image() const
{
    QMutexLocker lock(&m_mutex);
    return m_received.left(int(m_length));
}

QByteArray SimCawdorMouse::received() const { return locked(m_received); }
quint32 SimCawdorMouse::command() const { return locked(m_command); }
quint32 SimCawdorMouse::startAddress() const { return locked(m_start); }
quint32 SimCawdorMouse::declaredLength() const { return locked(m_length); }
int SimCawdorMouse::dataPackets() const { return locked(m_dataPackets); }
int SimCawdorMouse::resends() const { return locked(m_resends); }
bool SimCawdorMouse::ranApplication() const { return locked(m_ran); }
QList<quint32> SimCawdorMouse::packetNumbers() const { return locked(m_numbers).entries(); }
