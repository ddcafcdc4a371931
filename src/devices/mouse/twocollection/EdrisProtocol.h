#pragma once

// The two-collection mice's wire protocol. One USB interface carries two vendor collections (usage 1, page
// 0xFF00) told apart by their feature report length:
//   command collection  feature report 5, 6 bytes on the wire:     [5, command, sub-code, 0, 0, 0]
//   data collection     feature report 6, 1032 bytes on the wire:  [6, command, address/sub-code, header, data]
//
// Exchanges:
//   status query   command [0x82]            answer: data report, byte 7 = 1 while busy, status bytes from 2
//   profile read   command [0x83, 0]         answer: data report with the 1024-byte device image from byte 8
//   picture read   command [0x85, 0x80]      answer: data report with the 1024 picture bytes from byte 8
//   profile write  block 3, address 0,    length 512:  device image bytes 0..503 (then zero)
//   macro write    block 4, macro address, length 1024: the key's macro record
//   picture write  block 5, address 0x80,  length 1024: the screen block twice
// An answer is taken only when it echoes the report id, the command and (for the picture) the sub-code.
//
// The device image: the first 476 bytes are the profile (every setting), followed by the two checksum
// fields. The first checksum covers bytes 1..241 and never changes (the host keeps the sign flag and
// adjustment it read); the second covers bytes 242..475 and is recomputed for every write.

#include "models/keys/KKey.h"

#include <QtGlobal>

#include <cstddef>

namespace Edris {

// --- collections ----------------------------------------------------------------------------------------------
constexpr quint16 kUsage = 1;
constexpr quint16 kUsagePage = 0xFF00;
constexpr quint8 kCommandReportId = 5;
constexpr quint8 kDataReportId = 6;
constexpr int kCommandReportLength = 6;      // with the id byte
constexpr int kDataReportLength = 0x408;     // with the id byte
constexpr int kOpenTries = 5;
constexpr int kOpenRetryPauseMs = 1000;

// --- commands -------------------------------------------------------------------------------------------------
enum Command : quint8 {
    kCmdStatus = 0x82,
    kCmdReadProfile = 0x83,
    kCmdReadPicture = 0x85,
};
constexpr quint8 kPictureSubCode = 0x80;

enum BlockCommand : quint8 {
    kBlockProfile = 3,
    kBlockMacro = 4,
    kBlockPicture = 5,
};
constexpr quint8 kPictureAddress = 0x80;

struct CommandReport {
    quint8 reportId;   // kCommandReportId
    quint8 command;
    quint8 subCode;    // 0 where the command has none
    quint8 reserved[3];
};
static_assert(sizeof(CommandReport) == kCommandReportLength, "a command is one 6-byte feature report");

constexpr int kBlockDataSize = 1024;

// A block write and an answer share the layout; an answer has its sub-code where a write has its address.
struct DataReport {
    quint8 reportId;   // kDataReportId
    quint8 command;
    quint8 address;    // block writes: the address; answers: the sub-code
    quint8 lengthLow;  // block writes: the data length, little-endian; answers: header
    quint8 lengthHigh;
    quint8 reserved5;
    quint8 reserved6;
    quint8 busy;       // status answer: 1 while busy
    quint8 data[kBlockDataSize];
};
static_assert(sizeof(DataReport) == kDataReportLength, "a block is one 1032-byte feature report");
constexpr int kAnswerCommandByte = int(offsetof(DataReport, command));
constexpr int kAnswerSubCodeByte = int(offsetof(DataReport, address));
constexpr int kStatusBusyByte = int(offsetof(DataReport, busy));
constexpr int kDataByte = int(offsetof(DataReport, data));
static_assert(kAnswerCommandByte == 1 && kAnswerSubCodeByte == 2 && kStatusBusyByte == 7 && kDataByte == 8,
              "answer header");

// What the host hands the HID layer after the report id: the 7 header bytes and the data (the layer pads).
constexpr int kProfileWriteLength = 0x200;              // the length field of a profile write
constexpr int kProfileWriteHanded = kProfileWriteLength; // header, image bytes 0..503, one zero byte
constexpr int kBlockWriteHanded = kDataReportLength - 1;  // header and 1024 data bytes
constexpr int kProfileWriteImageBytes = 504;             // device image bytes 0..503 travel
static_assert(kDataByte - 1 + kProfileWriteImageBytes + 1 == kProfileWriteHanded,
              "a profile write hands the header, image bytes 0..503 and a zero byte");

// --- waits ----------------------------------------------------------------------------------------------------
constexpr int kReadPauseMs = 50;           // before a profile read
constexpr int kWritePauseMs = 100;         // after a profile or macro write, and before a profile write
constexpr int kStatusPauseMs = 100;        // between busy status queries
constexpr int kStatusQueries = 4;
constexpr int kPictureCheckPauseMs = 200;  // before the read-back picture is compared

// --- the device image -----------------------------------------------------------------------------------------
constexpr int kDpiStages = 7;
constexpr int kKeyEntries = 16;

// One light zone's colour block (main zone from byte 262, wheel zone from byte 281).
struct LightBlock {
    quint8 red;
    quint8 green;
    quint8 blue;
    quint8 clearedWithColour;    // cleared when the colour is set
    quint8 reserved4;
    quint8 clearedByEffect2;     // cleared when the colour is set and by effect 2
    quint8 speed;                // 9 - speed
    quint8 reserved7[2];
    quint8 effect4Mark;          // 3 after effect 4
    quint8 reserved10[9];
};
static_assert(sizeof(LightBlock) == 19, "a light block is 19 bytes");

struct DeviceImage {
    quint8 writeMark;            // 0: 1 on every write
    quint8 firstHalf[241];       // 1..241: covered by the first checksum (13 and 19 enter its test)
    quint8 reportRate;           // 242
    quint8 reserved243[4];
    quint8 deviceByte;           // 247: the device's own, taken over at every write
    quint8 reserved248[2];
    quint8 pressMacroFlag;       // 250: 0 when press macros are defined
    quint8 pressMacroCount;      // 251
    quint8 reserved252;
    quint8 pictureCode;          // 253
    quint8 oledIntensity;        // 254
    quint8 reserved255;
    quint8 mainEffect;           // 256
    quint8 mainBrightness;       // 257
    quint8 reserved258;
    quint8 wheelEffect;          // 259
    quint8 wheelBrightness;      // 260
    quint8 reserved261;
    LightBlock mainLight;        // 262..280
    LightBlock wheelLight;       // 281..299
    quint8 dpiXLow[kDpiStages];  // 300..306
    quint8 reserved307;
    quint8 dpiXHigh[kDpiStages]; // 308..314
    quint8 reserved315;
    quint8 dpiYLow[kDpiStages];  // 316..322
    quint8 reserved323;
    quint8 dpiYHigh[kDpiStages]; // 324..330
    quint8 reserved331;
    quint8 keys[kKeyEntries][4]; // 332..395: KKeyCode bytes
    quint8 reserved396[80];      // 396..475
    quint8 signFlag;             // 476: 0 adds the adjustment, else subtracts it
    quint8 adjustment;           // 477
    quint8 zero478;              // 478
    quint8 checksumLow;          // 479: second checksum
    quint8 checksumHigh;         // 480
    quint8 carried[23];          // 481..503: kept as read
    quint8 rest[520];            // 504..1023
};
static_assert(sizeof(DeviceImage) == kBlockDataSize, "the device image fills a block");

constexpr int kImageSize = int(sizeof(DeviceImage));
constexpr int kProfileSize = int(offsetof(DeviceImage, signFlag));
constexpr int kWriteMarkByte = int(offsetof(DeviceImage, writeMark));
constexpr int kFirstHalfBegin = int(offsetof(DeviceImage, firstHalf));
constexpr int kSecondHalfBegin = int(offsetof(DeviceImage, reportRate));
constexpr int kReportRateByte = int(offsetof(DeviceImage, reportRate));
constexpr int kDeviceByte = int(offsetof(DeviceImage, deviceByte));
constexpr int kPressMacroFlagByte = int(offsetof(DeviceImage, pressMacroFlag));
constexpr int kPressMacroCountByte = int(offsetof(DeviceImage, pressMacroCount));
constexpr int kPictureCodeByte = int(offsetof(DeviceImage, pictureCode));
constexpr int kOledIntensityByte = int(offsetof(DeviceImage, oledIntensity));
constexpr int kMainEffectByte = int(offsetof(DeviceImage, mainEffect));
constexpr int kMainBrightnessByte = int(offsetof(DeviceImage, mainBrightness));
constexpr int kWheelEffectByte = int(offsetof(DeviceImage, wheelEffect));
constexpr int kWheelBrightnessByte = int(offsetof(DeviceImage, wheelBrightness));
constexpr int kMainLightByte = int(offsetof(DeviceImage, mainLight));
constexpr int kWheelLightByte = int(offsetof(DeviceImage, wheelLight));
constexpr int kDpiXLowByte = int(offsetof(DeviceImage, dpiXLow));
constexpr int kDpiXHighByte = int(offsetof(DeviceImage, dpiXHigh));
constexpr int kDpiYLowByte = int(offsetof(DeviceImage, dpiYLow));
constexpr int kDpiYHighByte = int(offsetof(DeviceImage, dpiYHigh));
constexpr int kKeyTableByte = int(offsetof(DeviceImage, keys));
constexpr int kSignFlagByte = int(offsetof(DeviceImage, signFlag));
constexpr int kAdjustmentByte = int(offsetof(DeviceImage, adjustment));
constexpr int kZeroByte = int(offsetof(DeviceImage, zero478));
constexpr int kChecksumLowByte = int(offsetof(DeviceImage, checksumLow));
constexpr int kChecksumHighByte = int(offsetof(DeviceImage, checksumHigh));
constexpr int kLightRedOffset = int(offsetof(LightBlock, red));
constexpr int kLightClearOffset = int(offsetof(LightBlock, clearedWithColour));
constexpr int kLightClearEffect2Offset = int(offsetof(LightBlock, clearedByEffect2));
constexpr int kLightSpeedOffset = int(offsetof(LightBlock, speed));
constexpr int kLightEffect4Offset = int(offsetof(LightBlock, effect4Mark));

static_assert(kProfileSize == 476 && kSecondHalfBegin == 242 && kDeviceByte == 247 && kPressMacroFlagByte == 250
                  && kPressMacroCountByte == 251 && kPictureCodeByte == 253 && kOledIntensityByte == 254,
              "profile image: report rate, device byte, press macros, picture");
static_assert(kMainEffectByte == 256 && kMainBrightnessByte == 257 && kWheelEffectByte == 259
                  && kWheelBrightnessByte == 260 && kMainLightByte == 262 && kWheelLightByte == 281
                  && kMainLightByte + kLightClearOffset == 265 && kMainLightByte + kLightClearEffect2Offset == 267
                  && kMainLightByte + kLightSpeedOffset == 268 && kMainLightByte + kLightEffect4Offset == 271
                  && kWheelLightByte + kLightSpeedOffset == 287 && kWheelLightByte + kLightEffect4Offset == 290,
              "profile image: light zones");
static_assert(kDpiXLowByte == 300 && kDpiXHighByte == 308 && kDpiYLowByte == 316 && kDpiYHighByte == 324
                  && kKeyTableByte == 332 && kKeyTableByte + 4 * kKeyEntries == 396,
              "profile image: DPI stages and key table");
static_assert(kSignFlagByte == 476 && kAdjustmentByte == 477 && kZeroByte == 478 && kChecksumLowByte == 479
                  && kChecksumHighByte == 480,
              "device image: checksum fields");

// The checksum primitive: bytes at even (absolute) indices count three times.
constexpr quint32 profileChecksum(const quint8* image, int first, int end)
{
    quint32 sum = 0;
    for (int i = first; i < end; ++i)
        sum += (i % 2 == 0 ? 3u : 1u) * image[i];
    return sum;
}
constexpr int kFirstChecksumEnd = kSecondHalfBegin;   // sum over 1..241
constexpr int kSecondChecksumEnd = kProfileSize;      // sum over 242..475
constexpr int kChecksumProbeByte = 13;
constexpr int kChecksumProbeByte2 = 19;               // the root's test subtracts it too

// The first checksum's test by model.
struct ChecksumTest {
    bool checked;      // false: the model reads and writes without checksums
    bool withByte19;
    quint8 low;        // (S - image[13] (- image[19])) mod 256
    quint8 high;       // (S >> 8) mod 256
};
constexpr ChecksumTest kRootChecksum = {true, true, 0x02, 0x7C};
constexpr ChecksumTest kNoChecksum = {false, true, 0x02, 0x7C};
constexpr ChecksumTest kSelwinChecksum = {true, false, 0xD6, 0x79};
constexpr ChecksumTest kTamsinChecksum = {true, false, 0x4A, 0x79};
constexpr ChecksumTest kVarloChecksum = {true, false, 0xE7, 0x7A};
constexpr ChecksumTest kWendalChecksum = {true, false, 0xB7, 0x77};

// --- DPI ------------------------------------------------------------------------------------------------------
constexpr int kDpiUnit = 50;   // the root's code unit
constexpr int kMaxDpiCode = 0xFFFF;

// --- report rate, light, picture ------------------------------------------------------------------------------
constexpr int kLightEffects = 6;
constexpr quint8 kLightEffectCodes[kLightEffects] = {0x80, 0x83, 0x82, 0x81, 0x84, 0x85};
constexpr int kEffectNoColourBlend = 2;    // clears the block's clearedByEffect2 byte
constexpr int kEffectMarked = 4;           // sets the block's effect4Mark to kEffect4Mark
constexpr int kEffectBothZones = 5;
constexpr quint8 kEffect4Mark = 3;
constexpr int kSpeedBase = 9;              // stored speed = 9 - speed
constexpr int kSpeedMax = kSpeedBase;
constexpr int kMainZone = 0;
constexpr int kWheelZone = 1;
// Profile sections of the two light zones, saved into the current profile when the other zone follows.
constexpr int kMainLightSection = 5;
constexpr int kWheelLightSection = 10;

struct PictureCodeRow {
    int index;
    quint8 code;
};
constexpr PictureCodeRow kPictureCodes[] = {{1, 1}, {2, 4}, {3, 0}, {8, 7}};
constexpr int kDefaultPictureIndex = 1;   // what an unknown index writes
constexpr int kUnknownPictureIndex = 3;   // what an unknown code reads
constexpr int kProfilePictureIndex = 1;   // the whole-profile apply's final write

// --- OLED picture ---------------------------------------------------------------------------------------------
constexpr int kPictureWidth = 128;
constexpr int kPictureHeight = 32;
constexpr int kPictureBytes = kPictureWidth * kPictureHeight / 8;   // one screen block
static_assert(2 * kPictureBytes == kBlockDataSize, "the transfer block is the screen block twice");

// --- keys and macros ------------------------------------------------------------------------------------------
constexpr int kNoPlace = -1;

// A button's key-table place (profile byte of its code) and its macro record address.
struct KeyPlace {
    int key;
    int offset;
    quint8 macroAddress;
};
// The root's buttons. Keys 11 and 12 have one place for reading and writing (the factory record holds the
// wheel codes there: 04 00 01 00 at 388, 04 00 02 00 at 392). Keys 1000..1003 are the left button's press
// macro slots.
constexpr KeyPlace kRootPlaces[] = {
    {0, 332, 0x8C},  {1, 336, 0x90},  {2, 340, 0x94},  {3, 348, 0x9C},   {4, 344, 0x98},
    {5, 352, 0xA8},  {6, 356, 0xAC},  {7, 360, 0xB0},  {8, 364, 0xB4},   {9, 368, 0xB8},
    {11, 388, 0xA4}, {12, 392, 0xA0}, {1000, kNoPlace, 0xD0}, {1001, kNoPlace, 0xD4}, {1002, kNoPlace, 0xD8},
    {1003, kNoPlace, 0xDC},
};
constexpr int kFirstPressMacroSlot = 1000;
constexpr int kPressMacroSlots = 4;
constexpr int kProfilePressMacros = 3;   // a profile's left key names up to three

constexpr bool placesInTable(const KeyPlace* places, int n)
{
    for (int i = 0; i < n; ++i) {
        const int o = places[i].offset;
        if (o != kNoPlace && (o < kKeyTableByte || o + 4 > kKeyTableByte + 4 * kKeyEntries || (o - kKeyTableByte) % 4))
            return false;
    }
    return true;
}
static_assert(placesInTable(kRootPlaces, int(sizeof(kRootPlaces) / sizeof(kRootPlaces[0]))),
              "every place is a whole entry of the key table");

// Model places that differ from the root's (kNoPlace: the model has no such button).
struct PlaceOverride {
    int key;
    int offset;
};
constexpr PlaceOverride kOrlanPlaces[] = {{6, kNoPlace}, {7, 356}, {8, 360}, {9, 384}, {10, 380}};
constexpr PlaceOverride kSideSwapPlaces[] = {{7, 364}, {8, 360}};   // Selwin and Tamsin
constexpr int kOrlanButton10Macro = 0xBC;   // Orlan's button 10 has a place; its macro slot follows key 9's

// The buttons each model reads back, in order.
constexpr int kRootKeys[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12};
constexpr int kOrlanKeys[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12};
constexpr int kSelwinKeys[] = {0, 1, 2, 3, 4, 5, 11, 12};
constexpr int kFiveStageKeys[] = {0, 1, 2, 3, 4, 5, 6, 7, 11, 12};

// Orlan writes this code at 364..367 with every profile write.
constexpr quint8 kOrlanFixedCode[4] = {0x08, 0x03, 0x00, 0x00};
constexpr int kOrlanFixedCodeByte = 364;

// Play-mode code of a macro key (first parameter) by play type 1..3.
constexpr int playModeCode(int playType) { return playType == 2 ? 2 : playType == 3 ? 4 : 0; }

// Macro record: two header bytes (repeat count, big-endian) and 2-byte items, then the end item (0, 0).
constexpr int kMacroHeaderSize = 2;
constexpr int kMacroItemSize = 2;
constexpr int kMacroRecordSize = kBlockDataSize;
constexpr int kMaxMacroItems = (kMacroRecordSize - kMacroHeaderSize) / kMacroItemSize;  // end item included
static_assert(kMaxMacroItems == 511, "511 items fit a record with its header");
constexpr int kMacroBufferSize = kMacroRecordSize;
// Item first bytes with 0x00: an escape for a long delay (0x01), a move (0x02) or a move's time (0x03).
constexpr quint8 kEscape = 0x00;
constexpr quint8 kEscapeLongDelay = 0x01;
constexpr quint8 kEscapeMove = 0x02;
constexpr quint8 kEscapeMoveTime = 0x03;
constexpr quint8 kUpFlag = 0x80;
constexpr int kShortDelayLimit = 128;      // delays from here on take the long form
constexpr int kLongDelayUnit = 100;
constexpr int kMaxLongDelayCount = 0xFFFF;
constexpr int kMaxMoveTime = 0xFFFF;
constexpr int kMoveMin = -128;
constexpr int kMoveMax = 127;
// Button codes in macros and key codes: left, right, middle.
constexpr quint8 kButtonLeft = 0xF0;
constexpr quint8 kButtonRight = 0xF1;
constexpr quint8 kButtonMiddle = 0xF2;
constexpr quint8 mouseButtonMacroCode(int button)
{
    return button == 1 ? kButtonLeft : button == 2 ? kButtonMiddle : button == 3 ? kButtonRight : 0;
}

// --- key codes ------------------------------------------------------------------------------------------------
constexpr quint8 kTypeMacro = 9;
constexpr quint8 kTypePressMacros = 17;
constexpr quint8 kPressMacroCode[4] = {kTypePressMacros, 1, 0, 0};

// How a code's bytes come from the two parameters.
enum class Fill : quint8 {
    Fixed,         // the row's bytes
    Macro,         // 9, P1, 0, P2
    Combination,   // 0, P1, P2, 0
};

struct CodeRow {
    int function;
    quint8 bytes[4];   // type, parameter 1, code, parameter 2
    Fill fill;
};

// The root's function -> code table; functions not listed have no code.
constexpr CodeRow kRootCodes[] = {
    {KFuncDisable, {0, 0, 0, 0}, Fill::Fixed},
    {KFuncNull, {0, 0, 0, 0}, Fill::Fixed},
    {KFuncCloseWindow, {0, 1, 26, 0}, Fill::Fixed},
    {KFuncLockComputer, {0, 8, 15, 0}, Fill::Fixed},
    {KFuncRun, {0, 8, 21, 0}, Fill::Fixed},
    {KFuncShowDesktop, {0, 8, 7, 0}, Fill::Fixed},
    {KFuncZoomIn, {0, 1, 46, 0}, Fill::Fixed},
    {KFuncZoomOut, {0, 1, 45, 0}, Fill::Fixed},
    {KFuncMouseLeft, {1, 0, 0xF0, 0}, Fill::Fixed},
    {KFuncMouseMiddle, {1, 0, 0xF2, 0}, Fill::Fixed},
    {KFuncMouseRight, {1, 0, 0xF1, 0}, Fill::Fixed},
    {KFuncMouseForward, {1, 0, 0xF4, 0}, Fill::Fixed},
    {KFuncMouseBack, {1, 0, 0xF3, 0}, Fill::Fixed},
    {KFuncCustomButton1, {17, 0, 0, 0}, Fill::Fixed},
    {KFuncCustomButton2, {0, 0, 33, 0}, Fill::Fixed},
    {KFuncCustomButton3, {8, 0, 3, 0}, Fill::Fixed},
    {KFuncModeSwitch, {8, 0, 3, 0}, Fill::Fixed},
    {KFuncPlayer, {3, 0, 131, 1}, Fill::Fixed},
    {KFuncVolumeDown, {3, 0, 234, 0}, Fill::Fixed},
    {KFuncSideRollerUp, {3, 0, 234, 0}, Fill::Fixed},
    {KFuncVolumeUp, {3, 0, 233, 0}, Fill::Fixed},
    {KFuncSideRollerDown, {3, 0, 233, 0}, Fill::Fixed},
    {KFuncMute, {3, 0, 226, 0}, Fill::Fixed},
    {KFuncSniper, {7, 0, 4, 10}, Fill::Fixed},
    {KFuncFire, {10, 0xF0, 16, 2}, Fill::Fixed},
    {KFuncFind, {0, 1, 9, 0}, Fill::Fixed},
    {KFuncMacro, {9, 0, 0, 0}, Fill::Macro},
    {KFuncKeyCombination, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrl, {0, 0, 0, 0}, Fill::Combination},
    {KFuncShift, {0, 0, 0, 0}, Fill::Combination},
    {KFuncAlt, {0, 0, 0, 0}, Fill::Combination},
    {KFuncWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncKeyboardKey, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrlShift, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrlAlt, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrlWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncShiftAlt, {0, 0, 0, 0}, Fill::Combination},
    {KFuncShiftWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncAltWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrlShiftAlt, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrlShiftWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrlAltWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncShiftAltWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncCtrlShiftAltWin, {0, 0, 0, 0}, Fill::Combination},
    {KFuncDpiCycle, {7, 0, 3, 0}, Fill::Fixed},
    // One type-4 table for both directions: byte 2 = 1 is the wheel forward, 2 the wheel back.
    {KFuncRollerForward, {4, 0, 1, 0}, Fill::Fixed},
    {KFuncRollerBack, {4, 0, 2, 0}, Fill::Fixed},
    {KFuncDpiUp, {7, 0, 1, 0}, Fill::Fixed},
    {KFuncDpiDown, {7, 0, 2, 0}, Fill::Fixed},
    {KFuncMacroSwitch, {16, 0, 3, 0}, Fill::Fixed},
};

// Orlan's codes that differ: custom button 2 is 00 00 5C 00; the modifiers and their combinations have none.
constexpr quint8 kOrlanCustomButton2Code = 0x5C;
constexpr quint8 kRootCustomButton2Code = 33;

// What a button does after "restore default" (function 0), by key.
constexpr int defaultFunction(int key, bool dpiCycleOnKey5)
{
    switch (key) {
    case 0: return KFuncMouseLeft;
    case 1: return KFuncMouseRight;
    case 2: return KFuncMouseMiddle;
    case 3: return KFuncMouseForward;
    case 4: return KFuncMouseBack;
    case 5: return dpiCycleOnKey5 ? KFuncDpiCycle : KFuncDpiUp;
    case 6: return KFuncDpiDown;
    case 7: return KFuncCustomButton1;
    case 8: return KFuncCustomButton2;
    case 9: return KFuncCustomButton3;
    case 11: return KFuncRollerForward;
    case 12: return KFuncRollerBack;
    default: return KFuncNull;
    }
}

// Combination data that settles the function: (mask, usage) -> function, for masks 4 and 8.
struct CombinationRow {
    int mask;
    int usage;
    int function;
};
constexpr CombinationRow kCombinationFunctions[] = {
    {4, 0, KFuncKeyCombination}, {4, 61, KFuncCloseWindow}, {4, 43, KFuncSwitchProgram},
    {8, 0, KFuncKeyCombination}, {8, 7, KFuncShowDesktop},  {8, 15, KFuncLockComputer},
    {8, 16, KFuncTraditionalDesktop}, {8, 20, KFuncFind},   {8, 21, KFuncRun},
    {8, 86, KFuncZoomOut},       {8, 87, KFuncZoomIn},
};

// --- the default profile record -------------------------------------------------------------------------------
constexpr int kDefaultFirstHalfKeys = 98;   // 16 key codes from byte 98 in the first half
constexpr quint8 kDefaultSecondHalfKeys[kKeyEntries][4] = {
    {0x01, 0x00, 0xF0, 0x00}, {0x01, 0x00, 0xF1, 0x00}, {0x01, 0x00, 0xF2, 0x00}, {0x0D, 0x00, 0x03, 0x00},
    {0x0E, 0x00, 0x03, 0x00}, {0x07, 0x00, 0x01, 0x00}, {0x07, 0x00, 0x02, 0x00}, {0x0A, 0x10, 0xF0, 0x02},
    {0x0F, 0x00, 0x03, 0x00}, {0x08, 0x00, 0x03, 0x00}, {0x05, 0x00, 0x03, 0x00}, {0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00}, {0x04, 0x00, 0x01, 0x00}, {0x04, 0x00, 0x02, 0x00},
};
constexpr quint8 kDefaultFirstHalfKeyCodes[kKeyEntries][4] = {
    {0x01, 0x00, 0xF0, 0x00}, {0x01, 0x00, 0xF1, 0x00}, {0x01, 0x00, 0xF2, 0x00}, {0x01, 0x00, 0xF3, 0x00},
    {0x01, 0x00, 0xF4, 0x00}, {0x07, 0x00, 0x01, 0x00}, {0x07, 0x00, 0x02, 0x00}, {0x0A, 0xF0, 0x10, 0x02},
    {0x0F, 0x00, 0x03, 0x00}, {0x08, 0x00, 0x03, 0x00}, {0x05, 0x00, 0x03, 0x00}, {0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00}, {0x04, 0x00, 0x01, 0x00}, {0x04, 0x00, 0x02, 0x00},
};
static_assert(kDefaultFirstHalfKeys + 4 * kKeyEntries == 162, "the first half's key codes end at byte 161");

} // namespace Edris
