#include "devices/keyboard/Quenby8aTransport.h"

#include "devices/RegisterTransaction.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>

#include <cstring>

using namespace Quenby8a;

namespace {
// The keyboard waits once before its first status read and after its last failed one.
constexpr RegisterTransaction::Pacing kPacing{kTransactionTries, kTryDelayMs, true, false, true};
}

bool Quenby8aTransport::buildCommand(quint8* packet, quint8 command, quint8 length, quint32 address) const
{
    if (!packet)
        return false;
    packet[kPacketAddressByte] = m_address;
    packet[kPacketCommand] = command;
    packet[kPacketLength] = length;
    for (int i = 0; i < 4; ++i)
        packet[kPacketRegister + i] = quint8(address >> (8 * i));
    return true;
}

bool Quenby8aTransport::sendPacket(const quint8* packet, int length, quint8 reportId)
{
    if (!m_channel || !packet || length < 0 || length > kReportBufferSize)
        return false;
    quint8 buffer[kReportBufferSize] = {};
    std::memcpy(buffer, packet, size_t(length));
    // The packet travels with one zero byte behind it; the channel pads the report with zeros anyway, so
    // never ask for more than the report holds.
    quint32 payload = quint32(length) + 1;
    const quint32 reportLength = m_channel->deviceDetail().capabilities.outputReportByteLength;
    if (reportLength > 0 && payload > reportLength - 1 && quint32(length) <= reportLength - 1)
        payload = reportLength - 1;
    return m_channel->sendOutputReport(reportId, buffer, payload);
}

int Quenby8aTransport::readReply(quint8* reply, int length, quint8 reportId)
{
    if (!m_channel || length < 0 || length > kReportBufferSize)
        return kReplyNoChannel;
    quint8 buffer[kReportBufferSize] = {};
    if (!m_channel->readInputReport(reportId, buffer, kReportBufferSize))
        return kReplyFailed;
    switch (buffer[0]) {
    case kStatusBusy:
        return kReplyBusy;
    case kStatusDone:
        if (reply)
            std::memcpy(reply, buffer, size_t(length));
        return kReplyDone;
    case kStatusError:
        return kReplyError;
    default:
        return kReplyFailed;
    }
}

bool Quenby8aTransport::writeCommand(const quint8* packet, int length, quint8 reportId)
{
    return RegisterTransaction::write(
        m_mutex, kPacing, [&] { return sendPacket(packet, length, reportId); },
        [&] { return readReply(nullptr, length, reportId) == kReplyDone; });
}

bool Quenby8aTransport::readCommand(const quint8* packet, quint8* reply, int length, quint8 reportId)
{
    return RegisterTransaction::read(
        m_mutex, kPacing, [&] { return sendPacket(packet, length, reportId); },
        [&] { return readReply(reply, length, reportId) == kReplyDone; });
}

bool Quenby8aTransport::writeRegister(quint32 address, const QByteArray& data, quint8 saveFlag)
{
    if (data.size() > kMaxChunk || (saveFlag && address > 0xFFFF))
        return false;
    quint8 packet[kPacketSize] = {};
    buildCommand(packet, kCmdWriteRegister, quint8(data.size()), address);
    if (saveFlag)
        packet[Rgb::kPacketSaveFlag] = saveFlag;
    std::memcpy(packet + kDataOffset, data.constData(), size_t(data.size()));
    return writeCommand(packet, kPacketSize, kReportId);
}

QByteArray Quenby8aTransport::readRegister(quint32 address, int length)
{
    if (length <= 0 || length > kPacketSize - kReplyDataOffset)
        return QByteArray();
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize + 1] = {};
    buildCommand(packet, kCmdReadRegister, quint8(length), address);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(reply + kReplyDataOffset), length);
}

bool Quenby8aTransport::writeBulk(quint32 address, const QByteArray& data, const QString& errorText, quint8 saveFlag)
{
    int offset = 0;
    while (offset < data.size()) {
        const int chunk = qMin(kMaxChunk, data.size() - offset);
        if (!writeRegister(address + quint32(offset), data.mid(offset, chunk), saveFlag)) {
            qDebug().noquote() << errorText;
            return false;
        }
        offset += chunk;
        Platform::sleepMs(m_pacingDelay);
    }
    return true;
}

QByteArray Quenby8aTransport::readBulk(quint32 address, int total)
{
    QByteArray out;
    while (out.size() < total) {
        const int chunk = qMin(kMaxChunk, total - out.size());
        const QByteArray part = readRegister(address + quint32(out.size()), chunk);
        if (part.size() != chunk)
            return QByteArray();
        out += part;
        if (chunk == kMaxChunk)
            Platform::sleepMs(m_pacingDelay);
    }
    return out;
}

int Quenby8aTransport::hexDigitsAsDecimal(quint8 value)
{
    const int high = value >> 4;
    const int low = value & 0x0F;
    if (high > 9 || low > 9)
        return 0;
    return high * 10 + low;
}

int Quenby8aTransport::readVersion()
{
    quint8 packet[kPacketSize] = {};
    quint8 reply[kPacketSize + 1] = {};
    buildCommand(packet, kCmdVersion, 0, 0);
    if (!readCommand(packet, reply, kPacketSize, kReportId))
        return -1;
    return hexDigitsAsDecimal(reply[kReplyVersionMajor]) * 100 + hexDigitsAsDecimal(reply[kReplyVersionMinor]);
}
