#pragma once

// The feature-report mice's wire protocol. One vendor collection (usage 1, page 0xFF01) carries every
// setting as an 8-byte command sent as a feature report (9 bytes with the report id in front). A read
// command is answered in the feature report the host reads next; reads of larger data follow as input
// reports of 33 bytes (the report id, then 32 data bytes), and larger writes go out as 33-byte output reports
// of the same shape. Setters are bare commands: the mouse acknowledges nothing.
//
// Exchanges (command bytes 0.., the rest zero):
//   firmware version   [0x80]                    reply: [_, major, minor]
//   report rate        [0x81]                    reply: [_, interval ms]
//                      [0x01, interval]
//   DPI stage          [0x8B, 1]                 reply: byte 3 = current stage
//                      [0x0B, 1, stage]
//   DPI list           [0x91, 1]                 reply, then one page: codes from byte 1, 0xFF after the last
//                      [0x11, 1, 7, 0x10]        then one page written in the same form
//   light              [0x8D, 1]                 reply: [_, _, effect, parameter, flag]
//                      [0x0D, 1, effect, parameter, flag]
//   colour             [0x8C, 1]                 reply: [_, _, green, red, blue]
//                      [0x0C, 1, green, red, blue]
//   buttons            [0x92, 1]                 reply, then two pages of eight 4-byte slots
//                      [0x12, 1, 0, 0x40]        then the two pages written
//   macro              [0x13, 1, slot, 2]        then the 1024-byte buffer as 32 pages
// Every step is preceded by the pacing sleep, and a read after its command by one more.
//
// The supplier image mouse (HDeviceKinloch_Hollis) is another controller: usage 0x92 on page 0xFF1C, the
// two-page image of TwoPageImage.h read whole as one 128-byte report and written back as two 64-byte pages,
// each acknowledged by one report.

#include "models/keys/KKey.h"

#include <QtGlobal>

#include <cstddef>

namespace Dunmor {

// --- collection -----------------------------------------------------------------------------------------------
constexpr quint16 kUsage = 1;
constexpr quint16 kUsagePage = 0xFF01;
constexpr quint16 kFeatureReportLength = 9;  // report id + command
constexpr int kCommandSize = 8;
constexpr int kPageSize = 33;                // report id + 32 data bytes
constexpr int kPageData = kPageSize - 1;
constexpr int kDpiPageReadSize = 128;        // the buffer a DPI page is read into
constexpr int kDpiPageScan = 8;              // page bytes 0-7 hold the stages
static_assert(kFeatureReportLength == kCommandSize + 1, "a command is the feature report after its id");

// --- commands -------------------------------------------------------------------------------------------------
enum Command : quint8 {
    kCmdSetReportRate = 0x01,
    kCmdSetDpiIndex = 0x0B,
    kCmdSetRgb = 0x0C,
    kCmdSetLight = 0x0D,
    kCmdSetDpiList = 0x11,
    kCmdSetKeys = 0x12,
    kCmdSetMacro = 0x13,
    kCmdGetFwVersion = 0x80,
    kCmdGetReportRate = 0x81,
    kCmdGetDpiIndex = 0x8B,
    kCmdGetRgb = 0x8C,
    kCmdGetLight = 0x8D,
    kCmdGetDpiList = 0x91,
    kCmdGetKeys = 0x92,
};
constexpr quint8 kProfileByte = 0x01;          // byte 1 of every command but the version and rate ones
constexpr quint8 kDpiListArg1 = 0x07;          // [0x11, 1, 7, 0x10]
constexpr quint8 kDpiListArg2 = 0x10;
constexpr quint8 kKeysLength = 0x40;           // [0x12, 1, 0, 0x40]: 64 slot bytes follow
constexpr quint8 kMacroArg = 0x02;             // [0x13, 1, slot, 2]

// Reply bytes (the 8 bytes after the report id).
constexpr int kReplyFwMajor = 1;
constexpr int kReplyFwMinor = 2;
constexpr int kReplyInterval = 1;
constexpr int kReplyDpiIndex = 3;
constexpr int kReplyEffect = 2;
constexpr int kReplyParameter = 3;
constexpr int kReplyFlag = 4;
constexpr int kReplyGreen = 2;
constexpr int kReplyRed = 3;
constexpr int kReplyBlue = 4;

// --- pacing ---------------------------------------------------------------------------------------------------
constexpr int kPacingMs = 10;          // before every step, and once more before a read after its command
constexpr int kReadTimeoutMs = 1000;   // a page that does not come within this fails the read
constexpr int kOpenTries = 5;
constexpr int kOpenRetryPauseMs = 1000;

// --- DPI ------------------------------------------------------------------------------------------------------
// Root table: code c in 1..49 is (c + 1) x 100 DPI.
constexpr int kDpiMin = 200;
constexpr int kDpiMax = 5000;
constexpr int kDpiStep = 100;
constexpr quint8 kDpiEndMark = 0xFF;
// The page holds the codes from byte 1 and the end mark after them; the mouse reads its stages from bytes 1-7.
constexpr int kMaxDpiCodes = kPageData - 1;
constexpr int kDpiStages = kDpiPageScan - 2;
static_assert(kMaxDpiCodes == 31, "31 codes and the end mark fill a page");

constexpr int dpiFromCode(int code)
{
    return code >= 1 && code <= 49 ? (code + 1) * kDpiStep : 0;
}
constexpr quint8 codeFromDpi(int value)
{
    return value >= kDpiMin && value <= kDpiMax ? quint8(value / kDpiStep - 1) : 0;
}
static_assert(codeFromDpi(250) == 1 && codeFromDpi(5000) == 49 && codeFromDpi(150) == 0 && dpiFromCode(49) == 5000
                  && dpiFromCode(50) == 0,
              "250 gives code 1; 5000 is the last code");

// The Kinloch's table: ten steps, a value takes the code of the first step it does not exceed.
constexpr int kKinlochDpi[] = {250, 500, 750, 1000, 1250, 1500, 1750, 2000, 3000, 4000};
constexpr int kKinlochCodes = int(sizeof(kKinlochDpi) / sizeof(kKinlochDpi[0]));
// A stage whose value has no code is written with its default (stages 0-6); later stages are left out.
constexpr quint8 kKinlochDefaultCode[] = {2, 3, 4, 5, 6, 7, 8};
constexpr int kKinlochDefaultStages = int(sizeof(kKinlochDefaultCode));

constexpr int kinlochDpiFromCode(int code)
{
    return code >= 1 && code <= kKinlochCodes ? kKinlochDpi[code - 1] : 0;
}
constexpr quint8 kinlochCodeFromDpi(int value)
{
    if (value <= 0)
        return 0;
    for (int i = 0; i < kKinlochCodes; ++i) {
        if (value <= kKinlochDpi[i])
            return quint8(i + 1);
    }
    return 0;
}
static_assert(kinlochCodeFromDpi(251) == 2 && kinlochCodeFromDpi(4000) == 10 && kinlochCodeFromDpi(4500) == 0
                  && kinlochDpiFromCode(kKinlochDefaultCode[0]) == 500,
              "Kinloch steps");

// --- report rate ----------------------------------------------------------------------------------------------
// Rate index 0..3 (125, 250, 500, 1000 Hz) as the report interval in milliseconds.
constexpr quint8 kReportInterval[] = {8, 4, 2, 1};
constexpr int kReportRates = int(sizeof(kReportInterval));

constexpr int rateFromInterval(int interval)
{
    return interval == 1 ? 3 : interval == 2 ? 2 : interval == 4 ? 1 : 0;
}

// --- light ----------------------------------------------------------------------------------------------------
// Light-mode index (the light model's) -> effect byte on the mouse; read back through the same table.
constexpr quint8 kEffectOfMode[] = {0, 4, 2, 1, 3, 5};
constexpr int kLightModes = int(sizeof(kEffectOfMode));
constexpr int modeOfEffect(int effect)
{
    for (int mode = 0; mode < kLightModes; ++mode) {
        if (kEffectOfMode[mode] == effect)
            return mode;
    }
    return -1;
}
// The command bytes [effect, parameter, flag] of a light mode whose parameter is fixed.
struct LightCommand {
    quint8 effect;
    quint8 parameter;
    quint8 flag;
};
constexpr LightCommand kLightOff = {0, 0, 0};
constexpr LightCommand kLightMode1 = {4, 0, 0};
constexpr LightCommand kLightMode4 = {3, 2, 3};
constexpr LightCommand kLightMode5 = {5, 4, 0};
constexpr quint8 kBreathingFlag = 1;       // modes 2 (effect 2) and 3 (effect 1)
constexpr quint8 kMode4Flag = 3;
constexpr int kDefaultSpeed = 3;           // mode 2 when the light item has no speed
constexpr int kDefaultBrightness = 5;      // mode 3 when the light item has no brightness
constexpr int kBrightnessMode = 3;         // the one mode whose parameter is the brightness
constexpr int kSpeedMax = 10;
constexpr int kBrightnessMax = 10;

// Getter answers when the read fails, by zone (0 the main light, others the wheel).
constexpr int kFallbackLightMode[2] = {1, 2};
constexpr int kFallbackBrightness[2] = {6, 2};
constexpr int kFallbackBrightnessUnset = 5;   // read, but the effect has no brightness
constexpr int kFallbackRgb[2][3] = {{100, 100, 200}, {150, 150, 0}};   // r, g, b

// --- buttons --------------------------------------------------------------------------------------------------
constexpr int kSlots = 16;
constexpr int kSlotSize = 4;
constexpr int kSlotsPerPage = kPageData / kSlotSize;
static_assert(kSlots * kSlotSize == 2 * kPageData && kSlotsPerPage == 8, "sixteen slots fill two pages");
// KKey of each slot; -1 for slots no button uses (sent as zeros, ignored when read).
constexpr int kSlotKey[kSlots] = {0, 1, 2, 13, 4, 3, -1, -1, -1, -1, -1, -1, -1, -1, 11, 12};

constexpr int kButtons = 8;   // slots with a key

constexpr int slotOfKey(int key)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        if (kSlotKey[slot] == key)
            return slot;
    }
    return -1;
}

// A key code: [kind, a, b, c].
enum CodeKind : quint8 {
    kKindKeyboard = 0x00,   // a = modifier mask, b = HID usage
    kKindMouse = 0x01,      // b = button
    kKindConsumer = 0x03,   // b, c = consumer usage, little-endian
    kKindWheel = 0x04,      // b = 1 forward, 2 back
    kKindSpecial = 0x07,    // b = 0 disabled, 3 DPI cycle, 4 sniper (c = 5)
    kKindMacro = 0x09,      // b = slot 1..4
    kKindFire = 0x0A,
};
// Modifier mask bits of a keyboard code.
constexpr int kMaskCtrl = 1;
constexpr int kMaskShift = 2;
constexpr int kMaskAlt = 4;
constexpr int kMaskWin = 8;
constexpr int kMaxMask = 15;

struct KeyCodeRow {
    int function;
    quint8 code[kSlotSize];
};

// Functions with a fixed code, read both ways: encoding looks a function up, decoding (keyCodeToItem) follows
// the decoder's own rules in the key codec, which these rows satisfy.
constexpr KeyCodeRow kFixedCodes[] = {
    {KFuncDisable, {0x07, 0, 0, 0}},           {KFuncNull, {0, 0, 0, 0}},
    {KFuncCloseWindow, {0, 0x04, 0x3D, 0}},    {KFuncLockComputer, {0, 0x08, 0x0F, 0}},
    {KFuncRun, {0, 0x08, 0x15, 0}},            {KFuncShowDesktop, {0, 0x08, 0x07, 0}},
    {KFuncTraditionalDesktop, {0, 0x08, 0x10, 0}}, {KFuncSwitchProgram, {0, 0x04, 0x2B, 0}},
    {KFuncZoomIn, {0, 0x08, 0x57, 0}},         {KFuncZoomOut, {0, 0x08, 0x56, 0}},
    {KFuncMouseLeft, {0x01, 0, 0xF0, 0}},      {KFuncMouseMiddle, {0x01, 0, 0xF2, 0}},
    {KFuncMouseRight, {0x01, 0, 0xF1, 0}},     {KFuncMouseForward, {0x01, 0, 0xF4, 0}},
    {KFuncMouseBack, {0x01, 0, 0xF3, 0}},      {KFuncPlayer, {0x03, 0, 0x83, 0x01}},
    {KFuncPlayPause, {0x03, 0, 0xCD, 0}},      {KFuncStop, {0x03, 0, 0xB7, 0}},
    {KFuncPreviousSong, {0x03, 0, 0xB6, 0}},   {KFuncNextSong, {0x03, 0, 0xB5, 0}},
    {KFuncVolumeDown, {0x03, 0, 0xEA, 0}},     {KFuncVolumeUp, {0x03, 0, 0xE9, 0}},
    {KFuncMute, {0x03, 0, 0xE2, 0}},           {KFuncSniper, {0x07, 0, 0x04, 0x05}},
    {KFuncFire, {0x0A, 0xF0, 0x18, 0x02}},     {KFuncFind, {0, 0x08, 0x14, 0}},
    {KFuncCommonButton, {0x07, 0, 0, 0}},      {KFuncDpiCycle, {0x07, 0, 0x03, 0}},
    {KFuncRollerForward, {0x04, 0, 0x01, 0}},  {KFuncRollerBack, {0x04, 0, 0x02, 0}},
};

// The modifier combinations by mask: Ctrl+Shift 47 ... Ctrl+Shift+Alt+Win 57; 0 for a mask of fewer than
// two modifiers.
constexpr int kComboMask[] = {3, 5, 9, 6, 10, 12, 7, 11, 13, 14, 15};
static_assert(int(sizeof(kComboMask) / sizeof(kComboMask[0])) == KFuncModifierComboLast - KFuncModifierComboFirst + 1,
              "one mask per combination function");

// What a button does when its function is reset (Null).
constexpr int defaultFunction(int key)
{
    switch (key) {
    case 0: return KFuncMouseLeft;
    case 1: return KFuncMouseRight;
    case 2: return KFuncMouseMiddle;
    case 3: return KFuncMouseForward;
    case 4: return KFuncMouseBack;
    case 11: return KFuncRollerForward;
    case 12: return KFuncRollerBack;
    case 13: return KFuncDpiCycle;
    default: return KFuncNull;
    }
}

// --- macros ---------------------------------------------------------------------------------------------------
constexpr int kMacroSlots = 4;
constexpr int kMacroBufferSize = 1024;
constexpr int kMacroPages = kMacroBufferSize / kPageData;
static_assert(kMacroPages == 32, "the buffer goes out as 32 pages");
// Header: bytes 0-1 the repetition; events from byte 2 as [state, code] records.
constexpr quint8 kPlayToggle[2] = {0xFF, 0xFE};
constexpr quint8 kPlayWhilePressed[2] = {0xFF, 0xFF};
constexpr int kMaxRepeat = 0xFFFD;          // a count reaching FF FE would read as another play type
constexpr int kKinlochMaxRepeat = 0xFF;     // the Kinloch keeps one count byte
constexpr int kLastEventByte = kMacroBufferSize - 3;   // the last record stays zero: the end
constexpr int kMacroEventBytes = kLastEventByte - 1;     // bytes 2..1021
constexpr int kLongestMacroEvent = 8;                    // a wheel turn both ways
// State byte: bit 7 a release, the low bits the delay after the record.
constexpr quint8 kStateRelease = 0x80;
constexpr quint8 kStateNoDelay = 0x01;
constexpr int kShortDelayMaxMs = 1260;      // state d / 10 + 1
// A longer delay: state 0x01 / 0x81 and the extension [0, unit, high, low] of delay / unit.
constexpr int kDelayExtensionSize = 4;
struct DelayUnit {
    quint8 unit;
    int ms;
    int maxDelay;
};
constexpr DelayUnit kDelayUnits[] = {{1, 10, 655350}, {2, 20, 1310700}, {3, 50, 3276750}, {4, 100, 6553500}};
// Mouse buttons 1..3 in a macro.
constexpr quint8 kMacroButton[3] = {0xF0, 0xF2, 0xF1};
// Wheel records: the direction code, then [hundreds, tens and units as BCD].
constexpr quint8 kWheelUp = 5;
constexpr quint8 kWheelDown = 6;
constexpr quint8 kWheelRight = 7;
constexpr quint8 kWheelLeft = 8;
constexpr int kMaxWheelAmount = 255;

} // namespace Dunmor

// The supplier image mouse.
namespace KinlochHollis {
constexpr quint16 kUsage = 0x92;
constexpr quint16 kUsagePage = 0xFF1C;
constexpr int kRequestSize = 64;
constexpr int kImageReadSize = 128;
constexpr quint8 kReadRequest[4] = {0x04, 0xA0, 0x01, 0x01};
constexpr int kPacingMs = 100;
constexpr int kOpenTries = 5;
constexpr int kOpenRetryPauseMs = 1000;
constexpr int kReadTimeoutMs = 1000;
constexpr int kStartupLightMode = 3;
// Byte 40 of the image set to 1 asks for key entry 9 (bytes 116-120) to be rewritten as the fire button.
constexpr int kKeyEntry9Byte = 116;
constexpr quint8 kKeyEntry9Fire[5] = {0xB9, 0x02, 0x00, 0x00, 0x00};
constexpr quint8 kFlagRewriteEntry9 = 1;
constexpr quint8 kFlagWritten = 2;
// Light-mode attribute (byte 41) by mode 0..9.
constexpr int kAttributeUnchanged = -1;
constexpr int kLightAttribute[10] = {0, 1, 0, 0x7F, 1, 0x7F, 0x7F, 0x7F, 0, 0};
constexpr int kSpeedStill = 0;     // mode 6
constexpr int kSpeedDefault = 2;
constexpr int kBrightnessFull = 10;   // mode 1
constexpr int kBrightnessDefault = 5; // a stored brightness of 0
} // namespace KinlochHollis
