#pragma once

// The register mouse's own view of itself: its collections, the command set of its 32-byte packets, its
// register space and factory settings. The simulated mouse answers from these; nothing here is shared with
// the program's driver, so the emulator stays an independent check of it.

#include <QtGlobal>

namespace SimRegister {

// Collections and reports.
constexpr quint16 kCommandUsage = 0x0E;
constexpr quint16 kCommandUsagePage = 0xFF00;
constexpr quint8 kReportId = 0xBA;
constexpr quint16 kInterruptUsagePage = 0xFF00;
constexpr quint16 kWiredInterruptUsage = 0x01;     // the wired mouse's fifth collection
constexpr quint16 kReceiverInterruptUsage = 0x02;  // behind the receiver
constexpr quint8 kWiredInterruptReportId = 5;
constexpr quint8 kReceiverInterruptReportId = 0xBB;
constexpr int kInterruptReportSize = 16;
constexpr int kInterruptModeByte = 2;
constexpr int kInterruptDpiByte = 3;  // 2 bytes, little-endian
constexpr int kInterruptBatteryByte = 6;

constexpr quint8 kAddressWired = 0xFF;
constexpr quint8 kAddressReceiver = 0xA5;

// Packet: address, command, length, register (4 bytes, little-endian), data.
constexpr int kPacketSize = 32;
constexpr int kPacketAddressByte = 0;
constexpr int kPacketCommandByte = 1;
constexpr int kPacketLengthByte = 2;
constexpr int kPacketRegisterByte = 3;
constexpr int kPacketDataByte = 7;
constexpr int kMaxWriteLength = kPacketSize - kPacketDataByte;  // 25

// Reply: status, three value bytes, register data.
constexpr int kReplyStatusByte = 0;
constexpr int kReplyValueByte = 1;
constexpr int kReplyDataByte = 4;
constexpr int kMaxReadLength = kPacketSize - kReplyDataByte;  // 28

enum Status : quint8 {
    kStatusBusy = 0,
    kStatusOk = 1,
    kStatusError = 2,
};

enum Command : quint8 {
    kCmdSetGameMode = 0xA1,
    kCmdGetGameMode = 0xA2,
    kCmdVersion = 0xA3,
    kCmdReadRegister = 0xA4,
    kCmdWriteRegister = 0xA5,
    kCmdBareA7 = 0xA7,
    kCmdBareA8 = 0xA8,
    kCmdQueryA9 = 0xA9,
    kCmdBattery = 0xAA,
    kCmdFactoryReset = 0xAD,
};
constexpr quint8 kResetKey1 = 0x52;  // length byte
constexpr quint8 kResetKey2 = 0x3D;  // first register byte
constexpr quint8 kGameModeOn = 1;

// Register space.
constexpr quint32 kRegReportRate = 0x880;
constexpr quint32 kRegConfig = 0x884;
constexpr quint32 kRegDpiStages = 0x888;
constexpr quint32 kRegDpiHighestIndex = 0x896;
constexpr quint32 kRegDpiIndex = 0x898;   // stage, light mode, light speed code, brightness
constexpr quint32 kRegOled = 0x89C;       // intensity, press macro code, defined press macro
constexpr quint32 kRegPicCount = 0x8A0;
constexpr quint32 kRegPicTable = 0x8A4;
constexpr quint32 kRegPicIndex = 0x8AC;   // -, index, flag, power saving
constexpr quint32 kRegPicTime = 0x8B4;
constexpr quint32 kRegZoneColour = 0x8B8;
constexpr quint32 kRegPicture = 0x22000;
constexpr quint32 kMemorySize = 0x14000;  // settings, key table, macro pages (press macros from 0x10000)

constexpr int kWordSize = 4;
constexpr int kDpiStages = 7;
constexpr int kDpiUnit = 50;
constexpr int kZones = 3;
constexpr int kPictureSize = 384;
constexpr int kPictureCount = 8;

// Factory settings.
constexpr quint8 kFactoryReportInterval = 1;
constexpr int kFactoryStages[kDpiStages] = {400, 800, 1600, 2400, 3200, 4800, 6400};
constexpr quint8 kFactoryStage = 1;
constexpr quint8 kFactoryLightMode = 4;
constexpr quint8 kFactoryLightSpeedCode = 2;
constexpr quint8 kFactoryBrightness = 9;
constexpr quint8 kFactoryOledIntensity = 100;
constexpr quint8 kFactoryPicture = 1;
constexpr quint8 kFactoryPicTime = 3;

// Report-rate choice 0..3 of an interval code.
constexpr int reportRateChoice(quint8 code)
{
    return code == 1 ? 3 : code == 2 ? 2 : code == 4 ? 1 : 0;
}

} // namespace SimRegister
