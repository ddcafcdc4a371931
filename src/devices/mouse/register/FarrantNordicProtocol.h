#pragma once

#include <QtGlobal>

#include <cstddef>

// The register mouse family's wire protocol: the collections it is reached through, the 32-byte command
// packets in output report 0xBA with status and data back in input report 0xBA, the interrupt report, the
// register map and the conversions between the program's values and the bytes the mouse stores.
// Every layout is a type here with its size checked; the driver and the emulator take their sizes from these.
namespace FarrantNordic {

// --- collections and reports ----------------------------------------------------------------------------------
constexpr quint16 kCommandUsage = 0x0E;
constexpr quint16 kCommandUsagePage = 0xFF00;
constexpr quint8 kReportId = 0xBA;          // output and input report of the command collection
// Interrupt source: a wired mouse reports on its fifth collection ("col05", report id 5), a mouse reached
// through the receiver on the receiver's collection of usage 2 (report id 0xBB). Both on page 0xFF00.
constexpr quint16 kInterruptUsagePage = 0xFF00;
constexpr quint16 kReceiverInterruptUsage = 2;
constexpr quint8 kWiredInterruptReportId = 5;
constexpr quint8 kReceiverInterruptReportId = 0xBB;
constexpr const char* kWiredInterruptPathPart = "col05";

// Byte 0 of every packet: who the packet is for.
constexpr quint8 kAddressWired = 0xFF;
constexpr quint8 kAddressReceiver = 0xA5;

// --- command packet -------------------------------------------------------------------------------------------
enum Command : quint8 {
    kCmdSetGameMode = 0xA1,   // length byte = mode value
    kCmdGetGameMode = 0xA2,   // reply byte 1 = mode
    kCmdVersion = 0xA3,       // reply bytes 1 (minor), 2 (major)
    kCmdReadRegister = 0xA4,  // reply bytes 4.. = register bytes
    kCmdWriteRegister = 0xA5, // data from packet byte 7
    kCmdBareA7 = 0xA7,
    kCmdBareA8 = 0xA8,
    kCmdQueryA9 = 0xA9,       // reply byte 1
    kCmdBattery = 0xAA,       // reply bytes 1..4 = raw reading, little-endian
    kCmdFactoryReset = 0xAD,  // length byte = kResetKey1, register byte 0 = kResetKey2
};

constexpr quint8 kResetKey1 = 0x52;
constexpr quint8 kResetKey2 = 0x3D;

// What the program sends: the payload of output report 0xBA.
struct CommandPacket {
    quint8 address;
    quint8 command;
    quint8 length;  // data bytes that follow (a parameter for 0xA1 and 0xAD)
    quint8 reg[4];  // register address, little-endian (0xAD: byte 0 is a parameter)
    quint8 data[25];
};

constexpr int kPacketSize = int(sizeof(CommandPacket));
constexpr int kPacketAddressByte = int(offsetof(CommandPacket, address));
constexpr int kPacketCommandByte = int(offsetof(CommandPacket, command));
constexpr int kPacketLengthByte = int(offsetof(CommandPacket, length));
constexpr int kPacketRegisterByte = int(offsetof(CommandPacket, reg));
constexpr int kPacketDataByte = int(offsetof(CommandPacket, data));
constexpr int kMaxWriteLength = int(sizeof(CommandPacket::data));
static_assert(kPacketSize == 32, "a command packet is 32 bytes");
static_assert(kPacketDataByte == 7 && kMaxWriteLength == 25, "write data follows the seven header bytes");

// What the mouse answers: input report 0xBA, its status where the report id would stand.
struct Reply {
    quint8 status;
    quint8 value[3]; // game mode, version (minor, major), query answer, battery reading (with data[0])
    quint8 data[28]; // register data of a read reply
};

constexpr int kReplyStatusByte = int(offsetof(Reply, status));
constexpr int kReplyValueByte = int(offsetof(Reply, value));
constexpr int kReplyDataByte = int(offsetof(Reply, data));
constexpr int kMaxReadLength = int(sizeof(Reply::data));
static_assert(sizeof(Reply) == kPacketSize && kReplyDataByte == 4, "a reply is one packet, data from byte 4");

enum Status : quint8 {
    kStatusBusy = 0,
    kStatusOk = 1,
    kStatusError = 2,
};

// Results of one reply read.
enum ReplyResult : int {
    kReplyFailed = 0,
    kReplyBusy = 1,
    kReplyOk = 2,
    kReplyError = 3,
    kReplyNoChannel = 4,
};

constexpr int kTransactionTries = 30;
constexpr int kTryDelayMs = 100;
constexpr int kOpenTries = 6;
constexpr int kOpenRetryDelayMs = 1000;
constexpr int kGameModeTries = 3;
constexpr quint8 kGameModeOn = 1;

// --- interrupt report -----------------------------------------------------------------------------------------
struct InterruptReport {
    quint8 reportId; // kWiredInterruptReportId or kReceiverInterruptReportId
    quint8 reserved1;
    quint8 gameMode;
    quint8 dpiRaw[2]; // little-endian
    quint8 reserved5;
    quint8 battery;
    quint8 reserved7[9];
};
constexpr int kInterruptReportSize = int(sizeof(InterruptReport));
constexpr int kInterruptModeByte = int(offsetof(InterruptReport, gameMode));
constexpr int kInterruptDpiByte = int(offsetof(InterruptReport, dpiRaw));
constexpr int kInterruptBatteryByte = int(offsetof(InterruptReport, battery));
static_assert(kInterruptReportSize == 16 && kInterruptModeByte == 2 && kInterruptDpiByte == 3
                  && kInterruptBatteryByte == 6,
              "mode in byte 2, DPI word in bytes 3-4, battery in byte 6");

// --- register map ---------------------------------------------------------------------------------------------
enum Register : quint32 {
    kRegKeyTable = 0x600,        // kKeyEntries entries of 4 bytes
    kRegMacroArea = 0x1000,
    kRegReportRate = 0x880,      // byte 0: report interval code
    kRegConfig = 0x884,          // byte 0: configuration byte, byte 1: operating mode + 1
    kRegDpiStages = 0x888,       // kDpiStages u16 little-endian, units of kDpiUnit
    kRegDpiCount = 0x894,        // word: stage 6 (bytes 0-1), highest index (byte 2), 0 (byte 3)
    kRegDpiIndex = 0x898,        // byte 0 stage, 1 light mode, 2 light speed code, 3 brightness
    kRegOled = 0x89C,            // byte 0 OLED intensity, 1 press macro code, 2 defined press macro
    kRegPicCount = 0x8A0,
    kRegPicTable = 0x8A4,        // 8 bytes
    kRegPicIndex = 0x8AC,        // byte 1 index, 2 flag, 3 power saving
    kRegPicShowType = 0x8B0,
    kRegPicTime = 0x8B4,
    kRegZoneColour = 0x8B8,      // kZones words r, g, b, 0xFF
    kRegPicture = 0x22000,       // kPictureSize bytes
};

constexpr int kWordSize = 4;
constexpr int kKeyEntries = 11;
constexpr int kDpiStages = 7;
constexpr int kDpiUnit = 50;
constexpr int kDpiListLength = 16;
constexpr int kZones = 3;
constexpr int kPictureSize = 384;
constexpr int kPictureChunk = 24;
constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 48;
constexpr int kPictureCount = 8;
constexpr quint32 kRegDpiHighestIndex = kRegDpiCount + 2;
static_assert(kRegDpiStages + kDpiStages * 2 == kRegDpiHighestIndex && kRegDpiStages + kDpiListLength == kRegDpiIndex,
              "seven stages, the highest index and a zero fill one 16-byte block");
static_assert(kPictureSize == kPictureWidth * kPictureHeight / 8 && kPictureSize % kPictureChunk == 0,
              "a picture is 64x48 bits sent in 24-byte chunks");
static_assert(kRegKeyTable + kKeyEntries * 4 <= kRegReportRate && kRegZoneColour + kZones * kWordSize <= 0x9FF,
              "the key table and the settings block do not overlap");

// Settings block mirrored by the host-side configuration image.
constexpr quint32 kRegSettingsBase = kRegReportRate;
constexpr int kImageSize = 1022;
constexpr int kImageSettingsOffset = 639;
static_assert(kImageSettingsOffset + (0x9FE - kRegSettingsBase) < kImageSize, "the settings block fits the image");

// --- setting ranges -------------------------------------------------------------------------------------------
constexpr int kLightModes = 5;          // light mode 0..4
constexpr int kBrightnessLevels = 10;   // the user's level 1..10, stored minus one
constexpr int kLightSpeedSlowest = 2;   // the user's speeds as the mouse reports them, 2..10
constexpr int kLightSpeedFastest = 10;
constexpr int kOledIntensityMin = 5;
constexpr int kOledIntensityMax = 100;
constexpr int kPressMacroMax = 3;
constexpr int kPicIndexMax = 9;         // stored as index 3 with the picture flag
constexpr int kPicShowTypeMax = 5;
constexpr int kPicTimeMax = 100;
constexpr int kMacroLongestEvent = 6;   // a pointer move, in a macro record

// --- conversions ----------------------------------------------------------------------------------------------
// Report-rate choices 0..3 (125, 250, 500, 1000 Hz) as report interval codes.
constexpr quint8 kReportIntervalCodes[] = {8, 4, 2, 1};
constexpr int reportRateFromDevice(quint8 code)
{
    return code == 1 ? 3 : code == 2 ? 2 : code == 4 ? 1 : 0;
}

// --- macro pages ----------------------------------------------------------------------------------------------
// One macro record per 4 KB page (see FarrantNordicMacroRecord.h for the events): a header, then the events.
constexpr int kMacroRecordSize = 0x1000;
constexpr int kMacroChunk = 24;  // bytes per write packet of an upload
struct MacroRecordHeader {
    quint8 length[2];  // little-endian: bytes of the record, header included
    quint8 repeat[2];  // little-endian: the repeat count, or kRepeatToggle / kRepeatWhileHeld
};
constexpr int kMacroHeaderSize = int(sizeof(MacroRecordHeader));
constexpr quint16 kRepeatToggle = 0xFFFE;
constexpr quint16 kRepeatWhileHeld = 0xFFFF;
static_assert(kMacroHeaderSize == 4 && kMacroChunk <= kMaxWriteLength, "a 4-byte header; chunks fit a packet");

} // namespace FarrantNordic
