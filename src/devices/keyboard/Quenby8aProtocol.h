#pragma once

#include <QtGlobal>

#include <cstddef>

// The keyboard's wire protocol: the collections it is reached through, the 64-byte command packets in output
// report 4 with status and data back in input report 4, the state report on the interrupt collection, the
// register map and the conversions between the values the program uses and the bytes the device stores.
// Every layout is a type here with its size checked; the other keyboard headers take their sizes from these.
namespace Quenby8a {

// --- collections and reports ----------------------------------------------------------------------------------
constexpr quint16 kCommandUsage = 0x92;
constexpr quint16 kCommandUsagePage = 0xFF1C;
constexpr quint8 kReportId = 4;        // output and input report of the command collection
constexpr quint8 kStateReportId = 6;   // input report of the interrupt collection
constexpr int kReportBufferSize = 128; // larger than any report of the keyboard
constexpr quint8 kAddressByte = 0xFF;

// --- command packet -------------------------------------------------------------------------------------------
enum Command : quint8 {
    kCmdVersion = 0xA3,
    kCmdReadRegister = 0xA4,
    kCmdWriteRegister = 0xA5,
};

// What the program sends: the payload of output report 4.
struct CommandPacket {
    quint8 address;
    quint8 command;
    quint8 length;   // data bytes written or read
    quint8 reg[4];   // register address, little-endian
    quint8 data[57]; // write data
};

constexpr int kPacketSize = int(sizeof(CommandPacket));
constexpr int kPacketAddressByte = int(offsetof(CommandPacket, address));
constexpr int kPacketCommand = int(offsetof(CommandPacket, command));
constexpr int kPacketLength = int(offsetof(CommandPacket, length));
constexpr int kPacketRegister = int(offsetof(CommandPacket, reg));
constexpr int kDataOffset = int(offsetof(CommandPacket, data));
constexpr int kMaxChunk = 56; // data bytes used per write packet (one less than it holds)
static_assert(kPacketSize == 64, "a command packet is 64 bytes");
static_assert(kDataOffset == 7 && kMaxChunk < int(sizeof(CommandPacket::data)), "write data follows the header");

// What the keyboard answers: input report 4, its status where the report id would stand.
struct Reply {
    quint8 status;
    quint8 versionMinor; // the firmware version of a version reply, in hexadecimal digits
    quint8 versionMajor;
    quint8 reserved;
    quint8 data[60]; // register data of a read reply
};

constexpr int kReplyVersionMinor = int(offsetof(Reply, versionMinor));
constexpr int kReplyVersionMajor = int(offsetof(Reply, versionMajor));
constexpr int kReplyDataOffset = int(offsetof(Reply, data));
static_assert(sizeof(Reply) == kPacketSize && kReplyDataOffset == 4, "a reply is one packet, data from byte 4");

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

constexpr int kTransactionTries = 3;
constexpr int kTryDelayMs = 100;
constexpr int kPacingDelayMs = 10;

// --- register map ---------------------------------------------------------------------------------------------
enum Register : quint32 {
    kRegLightMode = 0xA041, // lightModeToDevice
    kRegBrightness = 0xA042,
    kRegSpeed = 0xA043, // speedToDevice
    kRegModeRegister = 0xA045,
    kRegLightModeCopy = 0xA047,
    kRegBrightnessCopy = 0xA048,
    kRegSpeedCopy = 0xA049,
    kRegLogoMode = 0xA04D,
    kRegKeyTable = 0xA0C0,      // kKeyPositions key codes
    kRegKeyBrightness = 0xA4C0, // kKeyPositions bytes, keyLevelToDevice
    kRegMacroRecords = 0xA5C0,  // kMacroSlots records
};

constexpr int kKeyPositions = 128;
constexpr int kKeyCodeSize = 4;
constexpr int kKeyTableSize = kKeyPositions * kKeyCodeSize;
constexpr int kKeyBrightnessSize = kKeyPositions;
constexpr int kMacroRecordSize = 512;
constexpr int kMacroSlots = 20;
constexpr int kLightModeReadLength = 4;
static_assert(kRegKeyTable + kKeyTableSize <= kRegKeyBrightness
                  && kRegKeyBrightness + kKeyBrightnessSize <= kRegMacroRecords,
              "the key table, the key levels and the macro records do not overlap");

// --- state report ---------------------------------------------------------------------------------------------
// Sent on the interrupt collection when the light is changed on the keyboard itself. Byte i carries register
// kStateReportRegisterBase + i.
struct StateReport {
    quint8 reportId;  // kStateReportId
    quint8 ignored;   // kStateReportIgnored: nothing to take over
    quint8 lightMode; // the program's light: kRegLightMode ...
    quint8 brightness;
    quint8 speed;
    quint8 reserved5;
    quint8 modeRegister; // kUsbModeRegisterValue while the program's light is shown
    quint8 reserved7;
    quint8 boardLightMode; // the keyboard's own light: kRegLightModeCopy ...
    quint8 boardBrightness;
    quint8 boardSpeed;
    quint8 reserved11[3];
    quint8 logoMode; // kRegLogoMode
};

constexpr quint32 kStateReportRegisterBase = 0xA03F;
constexpr quint8 kStateReportIgnored = 1;
constexpr quint8 kUsbModeRegisterValue = 4;
static_assert(sizeof(StateReport) == 15, "the state report is 15 bytes");
static_assert(kStateReportRegisterBase + offsetof(StateReport, lightMode) == kRegLightMode
                  && kStateReportRegisterBase + offsetof(StateReport, speed) == kRegSpeed
                  && kStateReportRegisterBase + offsetof(StateReport, modeRegister) == kRegModeRegister
                  && kStateReportRegisterBase + offsetof(StateReport, boardLightMode) == kRegLightModeCopy
                  && kStateReportRegisterBase + offsetof(StateReport, boardSpeed) == kRegSpeedCopy
                  && kStateReportRegisterBase + offsetof(StateReport, logoMode) == kRegLogoMode,
              "state report bytes mirror the light registers");

// --- macro record ---------------------------------------------------------------------------------------------
// Header of a macro record (Quenby8aMacroRecord describes the events that follow it).
struct MacroRecordHeader {
    quint8 endOffset[2]; // bytes of the record sent to the device
    quint8 repeat[2];
};
static_assert(sizeof(MacroRecordHeader) == 4, "a macro record starts with four header bytes");

// --- conversions ----------------------------------------------------------------------------------------------
// The device numbers light modes from 1.
constexpr quint8 lightModeToDevice(int mode)
{
    return quint8(mode + 1);
}
constexpr int lightModeFromDevice(quint8 raw)
{
    return int(raw) - 1;
}

// The device stores the speed inverted: 0 is its fastest.
constexpr int kMaxSpeed = 4;
constexpr quint8 speedToDevice(int speed)
{
    return quint8(kMaxSpeed - speed);
}
constexpr int speedFromDevice(quint8 raw)
{
    return kMaxSpeed - int(raw);
}

// A key's light level 0..10 is stored as its device brightness, 25 per level.
constexpr int kBrightnessStep = 25;
constexpr int kMaxKeyLevel = 0xFF / kBrightnessStep;
constexpr quint8 keyLevelToDevice(int level)
{
    return quint8(level * kBrightnessStep);
}
constexpr int keyLevelFromDevice(quint8 raw)
{
    return int(raw) / kBrightnessStep;
}

// --- the full-size RGB model -----------------------------------------------------------------------------------
// The same packets and transactions; it adds two work-mode commands, keeps its light, key table and per-key
// colour table at registers of its own and its 30 macro records at 512 x slot, each chunk carrying the save
// flag in packet byte 6 (only the low 16 bits of a register address are meaningful to it).
namespace Rgb {

enum WorkModeCommand : quint8 {
    kCmdSetWorkMode = 0xA1, // the mode in the length byte, register 0
    kCmdGetWorkMode = 0xA2, // length 0, register 0; the mode comes back in reply byte 1
};
constexpr int kReplyWorkMode = 1;
constexpr int kProgramWorkMode = 1; // the mode the program runs the keyboard in
constexpr int kWorkModeTries = 3;

constexpr int kPacketSaveFlag = kPacketRegister + 3; // high byte of the 32-bit register field
constexpr quint8 kSaveFlag = 0xFF;

enum Register : quint32 {
    kRegLightMode = 0xA081, // raw
    kRegBrightness = 0xA082,
    kRegSpeed = 0xA083,      // speedToDevice
    kRegDirection = 0xA084,  // kSwitchOn / kSwitchOff; read as on when not 0
    kRegMonochrome = 0xA085, // kSwitchOn / kSwitchOff; read as on when not 0
    kRegColor = 0xA086,      // red, green, blue
    kRegKeyTable = 0xA2C0,   // kKeyPositions key codes
    kRegKeyColor = 0xA6C0,   // kKeyColorSize bytes: red, green, blue per position
};

constexpr quint8 kSwitchOn = 0xFF;
constexpr quint8 kSwitchOff = 0;
constexpr int kLightReadLength = 4; // mode, direction and monochrome are read 4 bytes wide
constexpr int kColorBytes = 3;
constexpr int kKeyColorSize = kKeyPositions * kColorBytes;
constexpr int kMacroSlots = 30;

// What the model's one-byte light registers take: the light mode, brightness and colour components raw,
// the speed 0..kMaxSpeed (stored as kMaxSpeed - speed).
constexpr bool fitsRegister(int value)
{
    return value >= 0 && value <= 0xFF;
}
constexpr bool validSpeed(int speed)
{
    return speed >= 0 && speed <= kMaxSpeed;
}

constexpr quint32 macroRecordAddress(int slot)
{
    return quint32(slot) * quint32(kMacroRecordSize);
}

// Byte 3 of a pointer move in this model's macro records: bit 0 always set, bits 1-3 the vertical high bits
// folded into three (bit 8 OR-ed onto bit 9, as the firmware reads them), bits 4-7 the horizontal high nibble.
// Vertical distances within -256..255 come through exactly.
constexpr quint8 moveHighBits(int x, int sentY)
{
    const int highY = (sentY >> 8) & 0x0F;
    const int folded = ((highY & 1) | (highY >> 1)) & 0x07;
    return quint8(1 | (folded << 1) | (((x >> 8) & 0x0F) << 4));
}
static_assert(moveHighBits(5, -3) == 0x0F && moveHighBits(-1, 0) == 0xF1 && moveHighBits(0x123, 0x100) == 0x13,
              "move high bits of the RGB model");

// Key positions: position n holds key n + kFirstKey except at the empty positions of the matrix.
constexpr int kFirstKey = 14;
constexpr int kEmptyPositions[] = {7, 15, 23, 29, 31, 37, 39, 47, 53, 55, 61, 63, 69, 71, 79, 100, 119, 127};
// Keys in the table that the key and colour maps leave out.
constexpr int kUnmappedKeys[] = {26, 113};

constexpr int keyAtPosition(int position)
{
    if (position < 0 || position >= kKeyPositions)
        return -1;
    for (int empty : kEmptyPositions) {
        if (empty == position)
            return -1;
    }
    return position + kFirstKey;
}
constexpr int positionOfKey(int key)
{
    return keyAtPosition(key - kFirstKey) == key ? key - kFirstKey : -1;
}
constexpr bool isMappedKey(int key)
{
    for (int unmapped : kUnmappedKeys) {
        if (unmapped == key)
            return false;
    }
    return positionOfKey(key) >= 0;
}

static_assert(positionOfKey(14) == 0 && positionOfKey(21) == -1 && positionOfKey(125) == 111
                  && positionOfKey(140) == 126 && positionOfKey(141) == -1,
              "key positions of the RGB model");
static_assert(kPacketSaveFlag == 6, "the save flag sits in packet byte 6");
static_assert(kRegMonochrome + 1 == kRegColor && kRegColor + kColorBytes <= kRegKeyTable,
              "one 4-byte read from the monochrome register returns it and the colour");
static_assert(kRegKeyTable + kKeyTableSize <= kRegKeyColor, "the key table and the colour table do not overlap");
static_assert(macroRecordAddress(kMacroSlots) <= kRegLightMode, "the macro records lie below the registers");

} // namespace Rgb

} // namespace Quenby8a
