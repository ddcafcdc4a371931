#include "sim/receiver/SimReceiver.h"

#include "sim/bus/SimBus.h"

#include <QMutexLocker>

namespace {

constexpr quint8 kStatusBusy = 0;
constexpr quint8 kStatusOk = 1;
constexpr quint8 kStatePaired = 0;
constexpr quint8 kStateSearching = 1;

} // namespace

SimReceiver::SimReceiver(quint16 productId)
    : m_productId(productId)
{
}

SimReceiver::~SimReceiver()
{
    unplug();
}

bool SimReceiver::plug(SimBus* bus)
{
    return plugInterfaces(bus, {{describe(m_productId, 0x0100, QStringLiteral("Wireless receiver"),
                                          {SimCollection::make(kUsagePage, kUsage, kReportLength, kReportLength, 0)}),
                                 {this}}});
}

void SimReceiver::setPollsBeforePaired(int polls) { setLocked(m_pollsBeforePaired, polls); }

void SimReceiver::answerNext(quint8 status, int count)
{
    QMutexLocker lock(&m_mutex);
    m_forcedStatus = status;
    m_forcedCount = count;
}

QStringList SimReceiver::commands() const { return locked(m_commands).entries(); }
bool SimReceiver::inPairingMode() const { return locked(m_pairingMode); }
bool SimReceiver::isPaired() const { return locked(m_paired); }
quint32 SimReceiver::lastKey() const { return locked(m_key); }

bool SimReceiver::onOutput(const QByteArray& report)
{
    if (report.size() < 1 + kPacketSize || quint8(report.at(0)) != kReportId)
        return false;
    const QByteArray packet = report.mid(1, kPacketSize);
    const quint8 first = quint8(packet.at(0));
    const quint8 second = quint8(packet.at(1));

    QMutexLocker lock(&m_mutex);
    m_replyState = 0;
    quint8 status = kStatusOk;
    if (m_forcedCount > 0) {
        --m_forcedCount;
        status = m_forcedStatus;
    }
    m_replyStatus = status;
    const bool accepted = status == kStatusOk;

    if (first == 0xA0 && second == 0x81) {
        m_commands << QStringLiteral("enter");
        if (accepted) {
            m_pairingMode = true;
            m_paired = false;
            m_hasKey = false;
            m_searchingPolls = 0;
        }
    } else if (first == 0xA1 && second == 0x8F) {
        quint32 key = 0;
        for (int i = 0; i < 4; ++i)
            key |= quint32(quint8(packet.at(2 + i))) << (8 * i);
        m_commands << QStringLiteral("key %1").arg(key);
        if (accepted && m_pairingMode) {
            m_key = key;
            m_hasKey = true;
        }
    } else if (first == 0xA7 && second == 0x00) {
        m_commands << QStringLiteral("status");
        if (accepted) {
            const bool canPair = m_pairingMode && m_hasKey && m_pollsBeforePaired != kNeverPaired;
            if (canPair && m_searchingPolls >= m_pollsBeforePaired)
                m_paired = true;
            else if (m_pairingMode)
                ++m_searchingPolls;
            m_replyState = m_paired ? kStatePaired : kStateSearching;
        }
    } else if (first == 0xA1 && second == 0x84) {
        m_commands << QStringLiteral("cancel");
        if (accepted)
            m_pairingMode = false;
    } else {
        m_commands << QStringLiteral("unknown %1").arg(QString::fromLatin1(packet.left(2).toHex()));
        m_replyStatus = 2;
    }
    return true;
}

bool SimReceiver::onGetInputReport(quint8 reportId, QByteArray& report)
{
    if (reportId != kReportId)
        return false;
    QMutexLocker lock(&m_mutex);
    // The status sits where the report id would: that is how the receiver answers.
    report.fill('\0');
    report[0] = char(m_replyStatus);
    if (report.size() > 1)
        report[1] = char(m_replyState);
    // A reply is fetched once; asking again before the next command finds the receiver busy.
    m_replyStatus = kStatusBusy;
    return true;
}
