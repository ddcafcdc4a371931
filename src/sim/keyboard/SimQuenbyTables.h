#pragma once

// The keyboard's own view of its memory: the register addresses, the command set of its 64-byte packets and
// the factory contents of its key table. The simulated keyboard answers from these; nothing here is shared
// with the program's driver, so the emulator stays an independent check of it.

#include <QtGlobal>

namespace SimQuenby {

// Packet and report layout.
constexpr quint8 kCommandReportId = 4;     // output and input report of the command collection
constexpr quint8 kInterruptReportId = 6;   // input report of the interrupt collection
constexpr int kPacketSize = 64;
constexpr int kReportSize = kPacketSize + 1;  // id byte + packet
constexpr quint8 kDeviceAddress = 0xFF;

constexpr int kPacketAddressByte = 0;
constexpr int kPacketCommandByte = 1;
constexpr int kPacketLengthByte = 2;
constexpr int kPacketRegisterByte = 3;  // 4 bytes, little-endian
constexpr int kPacketDataByte = 7;
constexpr int kMaxWriteLength = kPacketSize - kPacketDataByte;  // 57

constexpr int kReplyStatusByte = 0;
constexpr int kReplyVersionMinorByte = 1;
constexpr int kReplyVersionMajorByte = 2;
constexpr int kReplyWorkModeByte = 1;
constexpr int kReplyDataByte = 4;
constexpr int kMaxReadLength = kPacketSize - kReplyDataByte;  // 60

enum Command : quint8 {
    CommandSetWorkMode = 0xA1,  // RGB model: the mode travels in the length byte
    CommandGetWorkMode = 0xA2,  // RGB model: the mode comes back in reply byte 1
    CommandVersion = 0xA3,
    CommandRead = 0xA4,
    CommandWrite = 0xA5,
};

enum Status : quint8 {
    StatusBusy = 0,
    StatusDone = 1,
    StatusError = 2,
};

// Register memory. Everything from kMemoryBase up to the end of the last macro record is backed; an access
// outside it is answered with an error.
constexpr quint32 kMemoryBase = 0xA000;
constexpr quint32 kRegLightMode = 0xA041;        // mode + 1
constexpr quint32 kRegLightBrightness = 0xA042;  // raw
constexpr quint32 kRegLightSpeed = 0xA043;       // 4 - speed
constexpr quint32 kRegModeSelect = 0xA045;       // 4: the keyboard's own mode, 0-3: the program's
constexpr quint32 kRegLightModeCopy = 0xA047;
constexpr quint32 kRegLightBrightnessCopy = 0xA048;
constexpr quint32 kRegLightSpeedCopy = 0xA049;
constexpr quint32 kRegLogoMode = 0xA04D;
constexpr quint32 kRegKeyTable = 0xA0C0;
constexpr quint32 kRegKeyBrightness = 0xA4C0;
constexpr quint32 kRegMacroRecords = 0xA5C0;

constexpr int kKeyPositions = 128;
constexpr int kKeyCodeSize = 4;
constexpr int kKeyTableSize = kKeyPositions * kKeyCodeSize;  // 512
constexpr int kKeyBrightnessSize = kKeyPositions;            // 128
constexpr int kMacroSlots = 20;
constexpr int kMacroRecordSize = 512;
constexpr quint32 kMemoryEnd = kRegMacroRecords + kMacroSlots * kMacroRecordSize;
constexpr int kMemorySize = int(kMemoryEnd - kMemoryBase);
// Backing store: from address 0, where the RGB model keeps its macro records (512 bytes per slot, 30 slots).
constexpr quint32 kStorageBase = 0;
constexpr int kStorageSize = int(kMemoryEnd - kStorageBase);

// The RGB model: its own light registers, key table and per-key colour table (three bytes per position).
constexpr quint32 kRgbRegLightMode = 0xA081;        // raw
constexpr quint32 kRgbRegLightBrightness = 0xA082;  // raw
constexpr quint32 kRgbRegLightSpeed = 0xA083;       // 4 - speed
constexpr quint32 kRgbRegDirection = 0xA084;        // 0 off, otherwise on
constexpr quint32 kRgbRegMonochrome = 0xA085;       // 0 off, otherwise on
constexpr quint32 kRgbRegColor = 0xA086;            // red, green, blue
constexpr quint32 kRgbRegKeyTable = 0xA2C0;
constexpr quint32 kRgbRegKeyColor = 0xA6C0;
constexpr int kRgbKeyColorSize = kKeyPositions * 3;
constexpr int kRgbMacroSlots = 30;
constexpr quint32 kRgbMacroEnd = quint32(kRgbMacroSlots * kMacroRecordSize);
// The RGB model addresses 16 bits (packet bytes 3-4); byte 5 is 0 and byte 6 the save flag, which a macro
// record write must carry and no other packet may.
constexpr int kRgbPacketZeroByte = 5;
constexpr int kRgbPacketSaveFlagByte = 6;
constexpr quint8 kRgbSaveFlag = 0xFF;
static_assert(kRgbMacroEnd <= kMemoryBase, "RGB macro records end below the registers");
static_assert(kRgbRegKeyColor + kRgbKeyColorSize <= kMemoryEnd, "the colour table is backed");


// The interrupt report mirrors the light registers: report byte i carries register kStateReportBase + i.
constexpr quint32 kStateReportBase = 0xA03F;
constexpr int kStateReportFirstByte = 2;
constexpr int kStateReportLastByte = 14;

// Factory light settings.
constexpr quint8 kDefaultLightMode = 1;
constexpr quint8 kDefaultBrightness = 3;
constexpr quint8 kDefaultSpeed = 2;
constexpr quint8 kDefaultBrightnessPerKey = 250;  // level 10 of 0-10, 25 per level

constexpr quint8 kDefaultVersionMajor = 0x01;
// A firmware the program takes as current (the keyboard's minimum, 1.16); tests set older ones.
constexpr quint8 kDefaultVersionMinor = 0x16;

// The physical key (program key id) wired to each key-table position; -1 where the matrix has no key.
constexpr int kEmpty = -1;
constexpr int kKeyAtPosition[kKeyPositions] = {
    14,  15,  16,  17,  18,  19,  kEmpty, kEmpty,   // 0-7
    22,  23,  24,  25,  26,  27,  kEmpty, kEmpty,   // 8-15
    30,  31,  32,  33,  34,  35,  kEmpty, kEmpty,   // 16-23
    38,  39,  40,  41,  42,  kEmpty, kEmpty, kEmpty,  // 24-31
    46,  47,  48,  49,  50,  kEmpty, kEmpty, kEmpty,  // 32-39
    54,  55,  56,  57,  58,  59,  kEmpty, kEmpty,   // 40-47
    62,  63,  64,  65,  66,  kEmpty, kEmpty, kEmpty,  // 48-55
    70,  71,  72,  73,  74,  kEmpty, kEmpty, kEmpty,  // 56-63
    78,  79,  80,  81,  82,  kEmpty, kEmpty, kEmpty,  // 64-71
    86,  87,  88,  89,  90,  91,  kEmpty, kEmpty,   // 72-79
    94,  95,  96,  97,  98,  101, kEmpty, kEmpty,   // 80-87
    102, 103, 104, 105, 106, 115, kEmpty, kEmpty,   // 88-95
    110, 111, 112, 113, 122, 123, kEmpty, kEmpty,  // 96-103
    118, 119, 120, 121, 130, 131, kEmpty, kEmpty,  // 104-111
    134, 135, 129, 137, 136, 139, kEmpty, kEmpty,  // 112-119
    128, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,  // 120-127
};

// Factory key table: the HID keyboard usage each position sends. The Fn position is not a usage.
constexpr int kFnPosition = 85;
constexpr quint8 kDefaultUsage[kKeyPositions] = {
    0x29, 0x35, 0x2B, 0x39, 0xE1, 0xE0, 0, 0,
    0x3A, 0x1E, 0x14, 0x04, 0x64, 0xE3, 0, 0,
    0x3B, 0x1F, 0x1A, 0x16, 0x1D, 0xE2, 0, 0,
    0x3C, 0x20, 0x08, 0x07, 0x1B, 0, 0, 0,
    0x3D, 0x21, 0x15, 0x09, 0x06, 0, 0, 0,
    0x3E, 0x22, 0x17, 0x0A, 0x19, 0x2C, 0, 0,
    0x3F, 0x23, 0x1C, 0x0B, 0x05, 0, 0, 0,
    0x40, 0x24, 0x18, 0x0D, 0x11, 0, 0, 0,
    0x41, 0x25, 0x0C, 0x0E, 0x10, 0, 0, 0,
    0x42, 0x26, 0x12, 0x0F, 0x36, 0xE6, 0, 0,
    0x43, 0x27, 0x13, 0x33, 0x37, 0, 0, 0,
    0x44, 0x2D, 0x2F, 0x34, 0x38, 0xE4, 0, 0,
    0x45, 0x2E, 0x30, 0x32, 0xE5, 0x50, 0, 0,
    0x46, 0x2A, 0x31, 0x28, 0x52, 0x51, 0, 0,
    0x48, 0x4A, 0x4B, 0x4E, 0x4D, 0x4F, 0, 0,
    0x4C, 0, 0, 0, 0, 0, 0, 0,
};

// The key-table position of a program key id; -1 when the keyboard has no such key.
constexpr int positionOfKey(int key)
{
    for (int position = 0; position < kKeyPositions; ++position) {
        if (kKeyAtPosition[position] == key)
            return position;
    }
    return -1;
}

static_assert(positionOfKey(14) == 0, "Esc sits at the first position");
static_assert(positionOfKey(101) == kFnPosition, "Fn position");
static_assert(positionOfKey(128) == 120, "Delete position");
static_assert(kDefaultUsage[12] == 0x64 && kDefaultUsage[99] == 0x32, "ISO keys keep their usages");
static_assert(kMemoryEnd == 0xCDC0, "twenty macro records end the memory");

// The RGB model's key matrix: position n holds program key n + 14, except at its empty positions.
constexpr int kRgbFirstKey = 14;
constexpr bool kRgbEmptyPosition[kKeyPositions] = {
    0, 0, 0, 0, 0, 0, 0, 1,  0, 0, 0, 0, 0, 0, 0, 1,  0, 0, 0, 0, 0, 0, 0, 1,  0, 0, 0, 0, 0, 1, 0, 1,
    0, 0, 0, 0, 0, 1, 0, 1,  0, 0, 0, 0, 0, 0, 0, 1,  0, 0, 0, 0, 0, 1, 0, 1,  0, 0, 0, 0, 0, 1, 0, 1,
    0, 0, 0, 0, 0, 1, 0, 1,  0, 0, 0, 0, 0, 0, 0, 1,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 1, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 1,  0, 0, 0, 0, 0, 0, 0, 1,
};
// Its factory key table: the HID keyboard usage of each position; 0 at the empty positions and at the four
// positions with codes of their own (Fn, Mute, WinLock, WorkMode below).
constexpr quint8 kRgbDefaultUsage[kKeyPositions] = {
    0x29, 0x35, 0x2B, 0x39, 0xE1, 0xE0, 0x53, 0,    0x3A, 0x1E, 0x14, 0x04, 0x64, 0xE3, 0x54, 0,
    0x3B, 0x1F, 0x1A, 0x16, 0x1D, 0xE2, 0x55, 0,    0x3C, 0x20, 0x08, 0x07, 0x1B, 0,    0x56, 0,
    0x3D, 0x21, 0x15, 0x09, 0x06, 0,    0x5F, 0,    0x3E, 0x22, 0x17, 0x0A, 0x19, 0x2C, 0x60, 0,
    0x3F, 0x23, 0x1C, 0x0B, 0x05, 0,    0x61, 0,    0x40, 0x24, 0x18, 0x0D, 0x11, 0,    0x5C, 0,
    0x41, 0x25, 0x0C, 0x0E, 0x10, 0,    0x5D, 0,    0x42, 0x26, 0x12, 0x0F, 0x36, 0xE6, 0x5E, 0,
    0x43, 0x27, 0x13, 0x33, 0x37, 0xE7, 0x57, 0,    0x44, 0x2D, 0x2F, 0x34, 0x38, 0x65, 0x5A, 0,
    0x45, 0x2E, 0x30, 0x32, 0,    0xE4, 0x5B, 0,    0x46, 0x2A, 0x31, 0x28, 0xE5, 0x50, 0x62, 0,
    0x47, 0x49, 0x4C, 0x4B, 0x52, 0x51, 0x63, 0,    0x48, 0x4A, 0x4D, 0x4E, 0x59, 0x4F, 0x58, 0,
};
constexpr int kRgbFnPosition = 87;
constexpr int kRgbMutePosition = 95;
constexpr int kRgbWinLockPosition = 103;
constexpr int kRgbWorkModePosition = 111;
constexpr int kConsumerMute = 0xE2;
// Factory light of the RGB model, as its factory profile holds it: the first effect (its mode register is
// raw), the light colour magenta, and every key's own colour off (black). Brightness and speed are the wired
// keyboard's.
constexpr quint8 kRgbDefaultLightMode = 0;
constexpr quint8 kRgbDefaultColor[3] = {0xFF, 0x00, 0xFF};
constexpr quint8 kRgbDefaultKeyColor = 0x00;

constexpr int rgbKeyAtPosition(int position)
{
    return position < 0 || position >= kKeyPositions || kRgbEmptyPosition[position] ? kEmpty
                                                                                    : position + kRgbFirstKey;
}
constexpr int rgbPositionOfKey(int key)
{
    return rgbKeyAtPosition(key - kRgbFirstKey) == key ? key - kRgbFirstKey : -1;
}
static_assert(rgbPositionOfKey(125) == kRgbWorkModePosition && rgbPositionOfKey(101) == kRgbFnPosition
                  && rgbPositionOfKey(21) == -1 && rgbPositionOfKey(140) == 126,
              "RGB key positions");

} // namespace SimQuenby
