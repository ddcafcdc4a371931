#include "hid/FPairingFarrant.h"

#include "common/DeviceIds.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/crash/CrashDumpWriter.h"

#include <QDebug>
#include <QRandomGenerator>

namespace {

QByteArray packet(quint8 first, quint8 second)
{
    QByteArray bytes(FPairingFarrant::kPacketSize, '\0');
    bytes[0] = char(first);
    bytes[1] = char(second);
    return bytes;
}

// Room for the largest input report a receiver may have; only the first kPacketSize bytes are replies.
constexpr int kReplyBufferSize = 256;

} // namespace

QByteArray FPairingFarrant::enterPairingPacket()
{
    return packet(0xA0, 0x81);
}

QByteArray FPairingFarrant::pairingKeyPacket(quint32 key)
{
    QByteArray bytes = packet(0xA1, 0x8F);
    for (int i = 0; i < 4; ++i)
        bytes[2 + i] = char((key >> (8 * i)) & 0xFF);
    return bytes;
}

QByteArray FPairingFarrant::statusQueryPacket()
{
    return packet(0xA7, 0x00);
}

QByteArray FPairingFarrant::cancelPacket()
{
    return packet(0xA1, 0x84);
}

quint32 FPairingFarrant::newPairingKey()
{
    return QRandomGenerator::global()->bounded(32768u) + 1;
}

FPairingFarrant::FPairingFarrant(QObject* parent)
    : QThread(parent)
{
    // Runs on the new thread before run(): a crash there, a stack overflow too, still leaves its dump.
    connect(this, &QThread::started, [] { Platform::prepareCrashStack(); });
}

FPairingFarrant::~FPairingFarrant()
{
    stop();
}

void FPairingFarrant::stop()
{
    m_stop.store(true);
    m_sleep.interrupt();
    if (QThread::currentThread() != this)
        wait();
}

void FPairingFarrant::run()
{
    delete m_channel;
    m_channel = new KHID::KUSBDevice();
    const bool opened = openReceiver();
    bool paired = false;
    if (opened && !stopping()) {
        qDebug() << "[info] send cmd";
        bool ok = exchange(enterPairingPacket());
        m_sleep.sleepMs(kReplyPauseMs);
        if (ok) {
            ok = exchange(pairingKeyPacket(newPairingKey()));
            m_sleep.sleepMs(kReplyPauseMs);
        }
        if (ok) {
            qDebug() << "[info] start pairing";
            for (int poll = 0; poll < kMaxPolls && !stopping(); ++poll) {
                if (!m_channel->isOpened())
                    break;
                QByteArray reply;
                const bool answered = queryStatus(&reply);
                m_sleep.sleepMs(kPollPauseMs);
                if (!answered)
                    break;
                if (quint8(reply.at(1)) == 0) {
                    paired = true;
                    break;
                }
                qDebug() << "[Info] index:" << poll + 1;
            }
        }
    }
    finish(paired);
    delete m_channel;
    m_channel = nullptr;
}

bool FPairingFarrant::openReceiver()
{
    for (int attempt = 0;; ++attempt) {
        if (m_channel->initDevice(DeviceIds::kVendorId, quint16(m_pid), kUsage, kUsagePage, 0))
            break;
        if (attempt >= kOpenRetries || stopping())
            return false;
        m_sleep.sleepMs(kOpenRetryPauseMs);
        qDebug() << "[ERROR] init fail retry" << attempt;
    }
    return m_channel->isOpened() && m_channel->writeHandle() != KHID::INVALID_HANDLE_VALUE;
}

void FPairingFarrant::finish(bool paired)
{
    // A receiver left in pairing mode would pair whatever comes along next.
    if (!paired)
        cancelPairing();
    if (!stopping())
        emit sigFinishCode(paired);
}

bool FPairingFarrant::sendPacket(const QByteArray& packet)
{
    if (!m_channel || m_channel->writeHandle() == KHID::INVALID_HANDLE_VALUE)
        return false;
    return m_channel->sendOutputReport(kReportId, reinterpret_cast<const KHID::BYTE*>(packet.constData()),
                                       quint32(packet.size()));
}

FPairingFarrant::Reply FPairingFarrant::readReply(QByteArray* reply)
{
    if (!m_channel || m_channel->readHandle() == KHID::INVALID_HANDLE_VALUE)
        return ReplyNoChannel;
    QByteArray buffer(kReplyBufferSize, '\0');
    if (!m_channel->readInputReport(kReportId, reinterpret_cast<KHID::BYTE*>(buffer.data()), quint32(buffer.size())))
        return ReplyFailed;
    switch (quint8(buffer.at(0))) {
    case StatusBusy:
        return ReplyBusy;
    case StatusOk:
        if (reply)
            *reply = buffer.left(kPacketSize);
        return ReplyOk;
    case StatusError:
        return ReplyError;
    default:
        return ReplyFailed;
    }
}

bool FPairingFarrant::exchange(const QByteArray& packet)
{
    for (int attempt = 0; attempt < kCommandTries; ++attempt) {
        if (!sendPacket(packet))
            continue;
        m_sleep.sleepMs(kReplyPauseMs);
        if (readReply(nullptr) == ReplyOk)
            return true;
        m_sleep.sleepMs(kReplyPauseMs);
    }
    return false;
}

bool FPairingFarrant::queryStatus(QByteArray* reply)
{
    bool sent = false;
    for (int attempt = 0; attempt < kCommandTries && !sent; ++attempt) {
        sent = sendPacket(statusQueryPacket());
        if (!sent && attempt + 1 < kCommandTries)
            m_sleep.sleepMs(kReplyPauseMs);
    }
    if (!sent)
        return false;
    for (int attempt = 0; attempt < kCommandTries; ++attempt) {
        if (readReply(reply) == ReplyOk)
            return true;
        m_sleep.sleepMs(kReplyPauseMs);
    }
    return false;
}

bool FPairingFarrant::cancelPairing()
{
    if (!m_channel || !m_channel->isOpened() || m_channel->writeHandle() == KHID::INVALID_HANDLE_VALUE)
        return false;
    return exchange(cancelPacket());
}
