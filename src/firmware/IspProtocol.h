#pragma once

// The in-system-programming transfer of the HID bootloader: 64-byte packets sent as 65-byte output reports
// (report id 0 first), each answered by a 65-byte input report. All integers are little-endian.
//
//   sync          | 0xA4 | packet number | number to synchronise to (1) | zeros
//   first data    | 0xA0 (APROM) or 0xC3 | packet number | start address | image length | image bytes 0-47
//   continuation  | 0x00 | packet number | next 56 image bytes (the last one zero-padded)
//   resend        | 0xFF | new packet number | bytes 8-63 of the packet that failed
//   run APROM     | 0xAB | packet number | zeros
//
// A reply carries, after its report id, the 16-bit checksum (byte sum) of the packet it answers and, at bytes
// 5-8, the answered packet's number plus 1. Host packet numbers therefore go 1, 3, 5, ... and replies 2, 4, ...
//
// The application interface is switched into the bootloader by a 32-byte output report 0xBA 0xA8 0 ... 0.

#include <QtEndian>
#include <QtGlobal>

#include <cstring>

namespace Isp {

constexpr int kPacketSize = 64;
constexpr int kReportSize = kPacketSize + 1;
constexpr int kImageCapacity = 128 * 1024;
constexpr int kFirstPayload = 48;
constexpr int kContinuationPayload = 56;
constexpr int kEnterBootloaderSize = 32;
constexpr quint8 kEnterBootloaderId = 0xBA;
constexpr quint8 kEnterBootloaderCommand = 0xA8;

enum Command : quint32 {
    Continuation = 0x00,
    UpdateAprom = 0xA0,
    UpdateDataFlash = 0xC3,
    SyncPacketNumber = 0xA4,
    RunAprom = 0xAB,
    Resend = 0xFF,
};

constexpr quint32 kApromStart = 0;
constexpr quint32 kDataFlashStart = 0x1F00;

#pragma pack(push, 1)
struct Packet {
    quint32 command;
    quint32 number;
    quint8 payload[kPacketSize - 8];
};
struct FirstDataPayload {
    quint32 startAddress;
    quint32 length;
    quint8 image[kFirstPayload];
};
struct Reply {
    quint8 reportId;
    quint16 checksum;
    quint16 reserved;
    quint32 number;
    quint8 rest[kReportSize - 9];
};
#pragma pack(pop)

static_assert(sizeof(Packet) == kPacketSize, "a packet is 64 bytes");
static_assert(sizeof(FirstDataPayload) == kPacketSize - 8, "the first data packet fills the payload");
static_assert(sizeof(Reply) == kReportSize, "a reply is one 65-byte input report");

// The 16-bit byte sum.
inline quint16 checksum(const quint8* bytes, int length)
{
    quint32 sum = 0;
    for (int i = 0; i < length; ++i)
        sum += bytes[i];
    return quint16(sum);
}

inline quint16 checksum(const Packet& packet)
{
    return checksum(reinterpret_cast<const quint8*>(&packet), kPacketSize);
}

// Packets of an image of length bytes: the first carries 48 bytes, every further one 56.
constexpr int packetCount(int length)
{
    return length <= kFirstPayload ? 1 : 1 + (length - kFirstPayload + kContinuationPayload - 1) / kContinuationPayload;
}

// Image bytes sent once packet index (0-based) has gone out.
constexpr int bytesSentAfter(int index, int length)
{
    const int sent = kFirstPayload + index * kContinuationPayload;
    return sent < length ? sent : length;
}

inline Packet makePacket(quint32 command, quint32 number)
{
    Packet p;
    std::memset(&p, 0, sizeof p);
    p.command = qToLittleEndian(command);
    p.number = qToLittleEndian(number);
    return p;
}

inline Packet syncPacket(quint32 number, quint32 syncTo)
{
    Packet p = makePacket(SyncPacketNumber, number);
    const quint32 value = qToLittleEndian(syncTo);
    std::memcpy(p.payload, &value, sizeof value);
    return p;
}

// Packet index of an image: the first data packet (index 0) or a continuation.
inline Packet dataPacket(int index, quint32 number, quint32 command, quint32 startAddress, const quint8* image,
                         int length)
{
    if (index == 0) {
        Packet p = makePacket(command, number);
        FirstDataPayload first;
        std::memset(&first, 0, sizeof first);
        first.startAddress = qToLittleEndian(startAddress);
        first.length = qToLittleEndian(quint32(length));
        std::memcpy(first.image, image, size_t(qMin(length, kFirstPayload)));
        std::memcpy(p.payload, &first, sizeof first);
        return p;
    }
    Packet p = makePacket(Continuation, number);
    const int offset = kFirstPayload + (index - 1) * kContinuationPayload;
    std::memcpy(p.payload, image + offset, size_t(qMin(length - offset, kContinuationPayload)));
    return p;
}

inline Packet resendPacket(const Packet& failed, quint32 number)
{
    Packet p = failed;
    p.command = qToLittleEndian(quint32(Resend));
    p.number = qToLittleEndian(number);
    return p;
}

inline quint32 commandOf(const Packet& p) { return qFromLittleEndian(p.command); }
inline quint32 numberOf(const Packet& p) { return qFromLittleEndian(p.number); }
inline quint16 replyChecksum(const Reply& r) { return qFromLittleEndian(r.checksum); }
inline quint32 replyNumber(const Reply& r) { return qFromLittleEndian(r.number); }

inline Reply makeReply(quint16 packetChecksum, quint32 number)
{
    Reply r;
    std::memset(&r, 0, sizeof r);
    r.checksum = qToLittleEndian(packetChecksum);
    r.number = qToLittleEndian(number);
    return r;
}

} // namespace Isp
