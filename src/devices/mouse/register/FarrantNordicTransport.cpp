#include "devices/mouse/register/FarrantNordicTransport.h"

#include "devices/RegisterTransaction.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "hid/khid/KUSBDevice.h"

#include <QDebug>

#include <cstring>

using namespace FarrantNordic;

namespace {
constexpr int kBufferSize = 128;  // larger than any report of the mouse
// Every wait is 100 ms apart; the status is read at once after a read's send.
constexpr RegisterTransaction::Pacing kPacing{kTransactionTries, kTryDelayMs, false, true, false};
}

bool FarrantNordicTransport::buildCommand(quint8* packet, quint8 command, quint8 length, quint32 address) const
{
    if (!packet)
        return false;
    packet[kPacketAddressByte] = m_address;
    packet[kPacketCommandByte] = command;
    packet[kPacketLengthByte] = length;
    for (int i = 0; i < 4; ++i)
        packet[kPacketRegisterByte + i] = quint8(address >> (8 * i));
    return true;
}

bool FarrantNordicTransport::sendPacket(const quint8* packet, int length, quint8 reportId)
{
    if (!m_channel || !packet || length < 0 || length > kPacketSize)
        return false;
    return m_channel->sendOutputReport(reportId, packet, quint32(length));
}

int FarrantNordicTransport::readReply(quint8* reply, int length, quint8 reportId)
{
    if (!m_channel || length < 0 || length > kPacketSize)
        return kReplyNoChannel;
    quint8 buffer[kBufferSize] = {};
    if (!m_channel->readInputReport(reportId, buffer, kBufferSize))
        return kReplyFailed;
    switch (buffer[kReplyStatusByte]) {
    case kStatusBusy:
        return kReplyBusy;
    case kStatusOk:
        if (reply)
            std::memcpy(reply, buffer, size_t(length));
        return kReplyOk;
    case kStatusError:
        return kReplyError;
    default:
        return kReplyFailed;
    }
}

bool FarrantNordicTransport::writeCommand(const quint8* packet, int length, quint8 reportId)
{
    return RegisterTransaction::write(
        m_mutex, kPacing, [&] { return sendPacket(packet, length, reportId); },
        [&] { return readReply(nullptr, length, reportId) == kReplyOk; });
}

bool FarrantNordicTransport::readCommand(const quint8* packet, quint8* reply, int length, quint8 reportId)
{
    return RegisterTransaction::read(
        m_mutex, kPacing, [&] { return sendPacket(packet, length, reportId); },
        [&] { return readReply(reply, length, reportId) == kReplyOk; });
}

QByteArray FarrantNordicTransport::readRegisters(quint32 address, int length)
{
    if (length <= 0 || length > kMaxReadLength)
        return QByteArray();
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize] = {};
    buildCommand(packet, kCmdReadRegister, quint8(length), address);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(reply + kReplyDataByte), length);
}

QByteArray FarrantNordicTransport::readRegister(quint32 address)
{
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize] = {};
    buildCommand(packet, kCmdReadRegister, kWordSize, address);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(reply), kPacketSize);
}

bool FarrantNordicTransport::writeRegisters(quint32 address, const QByteArray& data, bool gameModeStep)
{
    if (data.isEmpty() || data.size() > kMaxWriteLength)
        return false;
    quint8 packet[kPacketSize] = {};
    buildCommand(packet, kCmdWriteRegister, quint8(data.size()), address);
    std::memcpy(packet + kPacketDataByte, data.constData(), size_t(data.size()));
    if (gameModeStep && !ensureGameMode())
        return false;
    return writeCommand(packet, kPacketSize, kReportId);
}

bool FarrantNordicTransport::updateWord(quint32 word, const QList<QPair<int, quint8>>& changes, bool gameModeStep,
                                        const QString& operation)
{
    const QByteArray reply = readRegister(word);
    if (reply.isEmpty()) {
        if (!operation.isEmpty())
            qDebug().noquote() << QStringLiteral("[Error] %1->getFlash").arg(operation);
        return false;
    }
    QByteArray data = reply.mid(kReplyDataByte, kWordSize);
    for (const auto& change : changes) {
        if (change.first < 0 || change.first >= kWordSize)
            return false;
        data[change.first] = char(change.second);
    }
    return writeRegisters(word, data, gameModeStep);
}

int FarrantNordicTransport::getGameMode()
{
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize] = {};
    buildCommand(packet, kCmdGetGameMode, 0, 0);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return -1;
    m_mode = reply[kReplyValueByte];
    return m_mode;
}

bool FarrantNordicTransport::setGameMode(quint8 mode)
{
    quint8 packet[kPacketSize] = {};
    buildCommand(packet, kCmdSetGameMode, mode, 0);
    if (!writeCommand(packet, kPacketSize, kReportId))
        return false;
    m_mode = mode;
    return true;
}

bool FarrantNordicTransport::ensureGameMode()
{
    return m_mode == kGameModeOn || setGameMode(kGameModeOn);
}

int FarrantNordicTransport::readVersion()
{
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize] = {};
    buildCommand(packet, kCmdVersion, 0, 0);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return -1;
    return reply[kReplyValueByte + 1] * 256 + reply[kReplyValueByte];
}

int FarrantNordicTransport::readStatusA9()
{
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize] = {};
    buildCommand(packet, kCmdQueryA9, 0, 0);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return -1;
    return reply[kReplyValueByte];
}

bool FarrantNordicTransport::sendBare(quint8 command)
{
    quint8 packet[kPacketSize] = {};
    buildCommand(packet, command, 0, 0);
    return writeCommand(packet, kPacketSize, kReportId);
}

bool FarrantNordicTransport::factoryReset()
{
    quint8 packet[kPacketSize] = {};
    buildCommand(packet, kCmdFactoryReset, kResetKey1, kResetKey2);
    return writeCommand(packet, kPacketSize, kReportId);
}

QByteArray FarrantNordicTransport::readBatteryReply()
{
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize] = {};
    buildCommand(packet, kCmdBattery, 0, 0);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(reply + kReplyValueByte), 4);
}
