#pragma once

#include <QtGlobal>

// The keyboard's register protocol: 64-byte command packets in output report 4, status and data back in
// input report 4, and the register map.
namespace Quenby8a {

constexpr quint8 kReportId = 4;
constexpr int kPacketSize = 64;
constexpr int kReportBufferSize = 128;
constexpr int kDataOffset = 7;          // first data byte of a write packet
constexpr int kMaxChunk = 56;           // data bytes used per write packet
constexpr int kReplyDataOffset = 4;     // first data byte of a register read reply
constexpr quint8 kAddressByte = 0xFF;

// Packet header bytes.
constexpr int kPacketAddressByte = 0;
constexpr int kPacketCommand = 1;
constexpr int kPacketLength = 2;
constexpr int kPacketRegister = 3;      // 4 bytes, little-endian

enum Command : quint8 {
    kCmdVersion = 0xA3,
    kCmdReadRegister = 0xA4,
    kCmdWriteRegister = 0xA5,
};

// Byte 0 of a reply.
enum Status : quint8 {
    kStatusBusy = 0,
    kStatusDone = 1,
    kStatusError = 2,
};

// Results of one reply read.
enum ReplyResult : int {
    kReplyFailed = 0,
    kReplyBusy = 1,
    kReplyDone = 2,
    kReplyError = 3,
    kReplyNoChannel = 4,
};

constexpr int kReplyVersionMinor = 1;
constexpr int kReplyVersionMajor = 2;

constexpr int kTransactionTries = 3;
constexpr int kTryDelayMs = 100;
constexpr int kPacingDelayMs = 10;

enum Register : quint32 {
    kRegLightMode = 0xA041,          // mode + 1
    kRegBrightness = 0xA042,
    kRegSpeed = 0xA043,              // 4 - speed
    kRegModeRegister = 0xA045,
    kRegLightModeCopy = 0xA047,
    kRegBrightnessCopy = 0xA048,
    kRegSpeedCopy = 0xA049,
    kRegLogoMode = 0xA04D,
    kRegKeyTable = 0xA0C0,           // 128 x 4 bytes
    kRegKeyBrightness = 0xA4C0,      // 128 x 1 byte, level x 25
    kRegMacroRecords = 0xA5C0,       // kMacroSlots x 512 bytes
};

constexpr int kKeyTableSize = 512;
constexpr int kKeyBrightnessSize = 128;
constexpr int kMacroRecordSize = 512;
constexpr int kMacroSlots = 20;
constexpr int kLightModeReadLength = 4;
constexpr int kBrightnessStep = 25;  // device brightness per key light level

} // namespace Quenby8a
