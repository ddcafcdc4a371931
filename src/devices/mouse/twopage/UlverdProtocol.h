#pragma once

// The two-page mice's wire protocol. The configuration image (TwoPageImage.h) moves as two 64-byte reports
// through plain writes and reads of the vendor collection (usage 0, page 0xFF00); the first byte of every
// report is its id, 4 on the way out. Macros travel in their own command sequence. The locked variant reaches
// the same protocol through the fourth collection of its interface and sends its current DPI stage as
// interrupt reports on the fifth.
//
// Exchanges:
//   image read    host: [4, 0xA0, 1, 1]           device: page 1, then page 2 (two input reports)
//   image write   host: page 1 (bytes 3 = 2)      device: one acknowledgement report
//                 host: page 2 (byte 3 = 2)       device: one acknowledgement report
//   root macro    host: [4, 0xAA, slot]           device: one reply
//                 host: [4, 0xA7, slot, total hi, total lo]   device: reply, byte 3 != 0 accepted
//                 host: data packet i of N        device: reply, byte 3 != 0 accepted
//   locked macro  host: [4, 0xAA, slot]           device: two replies
//                 host: [4, 0xA6, 1, 1]           device: one reply
//                 host: data packet i of N        device: two replies, byte 3 of the second != 0 accepted
// Every step but the read request is preceded by the model's pacing sleep.

#include "devices/mouse/twopage/TwoPageImage.h"
#include "models/keys/KKey.h"

#include <QtGlobal>

#include <cstddef>

namespace Ulverd {

// --- collections ----------------------------------------------------------------------------------------------
constexpr quint16 kUsage = 0;
constexpr quint16 kUsagePage = 0xFF00;
constexpr const char* kLockedCommandPathPart = "col04";
constexpr const char* kLockedInterruptPathPart = "col05";
constexpr quint8 kReportId = 4;
constexpr int kReportSize = TwoPage::kPageSize;

// --- commands -------------------------------------------------------------------------------------------------
enum Command : quint8 {
    kCmdReadImage = 0xA0,      // [4, 0xA0, 1, 1]
    kCmdMacroBegin = 0xA6,     // locked variant: [4, 0xA6, 1, 1]
    kCmdMacroLength = 0xA7,    // root: [4, 0xA7, slot, (L + 36) high, (L + 36) low]
    kCmdMacroData = 0xA8,      // a data packet
    kCmdMacroSelect = 0xAA,    // [4, 0xAA, slot]
};
constexpr quint8 kRequestArgument = 1;   // bytes 2 and 3 of the read request and of 0xA6
constexpr int kMacroLengthExtra = 36;    // the root's 0xA7 announces the event bytes plus this

// A reply's byte 3: 0 refuses what was sent.
constexpr int kReplyAcceptByte = 3;

// --- pacing ---------------------------------------------------------------------------------------------------
constexpr int kRootPacingMs = 100;          // before every image step but the request
constexpr int kRootMacroPacingMs = 150;     // between the macro steps (the first one waits kRootPacingMs)
constexpr int kLockedPacingMs = 300;        // every step of the locked variant
// A device that does not answer a read within this time is taken as gone.
constexpr int kReadTimeoutMs = 1000;
constexpr int kOpenTries = 5;
constexpr int kOpenRetryPauseMs = 1000;

// --- macro data packet ----------------------------------------------------------------------------------------
// Packet i (1..N) of a macro. The first carries a marker byte, 30 zero bytes and the first 26 event bytes; later
// ones carry 57 event bytes each, the last one the rest. The length byte counts the bytes after it that the
// packet carries: 57 for a full packet, 1 + 30 + L for a single first packet, the rest for the last.
struct MacroDataPacket {
    quint8 reportId;
    quint8 command;   // kCmdMacroData
    quint8 slot;
    quint8 events;    // root: 0; locked variant: the number of event records
    quint8 index;     // 1..N
    quint8 count;     // N
    quint8 length;
    quint8 body[57];
};
constexpr int kMacroPacketSize = int(sizeof(MacroDataPacket));
constexpr int kMacroEventsByte = int(offsetof(MacroDataPacket, events));
constexpr int kMacroLengthByte = int(offsetof(MacroDataPacket, length));
constexpr int kMacroBodyByte = int(offsetof(MacroDataPacket, body));
constexpr int kMacroBodySize = int(sizeof(MacroDataPacket::body));
constexpr quint8 kMacroFirstMarker = 1;          // body byte 0 of packet 1
constexpr int kMacroFirstPadding = 30;           // zero bytes after the marker
constexpr int kMacroFirstEventByte = kMacroBodyByte + 1 + kMacroFirstPadding;
constexpr int kMacroFirstEvents = kMacroPacketSize - kMacroFirstEventByte;
static_assert(kMacroPacketSize == kReportSize && kMacroBodyByte == 7 && kMacroBodySize == 57,
              "a macro packet is one report: seven header bytes and 57 body bytes");
static_assert(kMacroFirstEventByte == 38 && kMacroFirstEvents == 26, "packet 1 carries 26 event bytes from byte 38");

// The number of data packets for L event bytes: one up to 26, else 2 + (L - 26) / 57 (a string that fills its
// last packet exactly is followed by an empty one, as the device counts).
constexpr int macroPacketCount(int eventBytes)
{
    return eventBytes <= kMacroFirstEvents ? 1 : (eventBytes - kMacroFirstEvents) / kMacroBodySize + 2;
}
static_assert(macroPacketCount(26) == 1 && macroPacketCount(27) == 2 && macroPacketCount(83) == 3,
              "26 bytes fit one packet, 27 need two, 83 three");

// The longest event string either dialect sends; the root's 0xA7 total must fit 16 bits.
constexpr int kMacroBufferSize = 2720;
constexpr int kLockedMacroBufferSize = 200;  // what the locked variant reports as its buffer
static_assert(macroPacketCount(kMacroBufferSize) <= 0xFF && kMacroBufferSize + kMacroLengthExtra <= 0xFFFF,
              "the packet count and the announced length fit their fields");

// The scan a built packet gets: the first 6, 0xFF, 0xFF, 100 from this byte on has its two 0xFF cleared.
constexpr int kMovementFixStart = 31;

// --- macro event bytes ----------------------------------------------------------------------------------------
enum EventCode : quint8 {
    kEventDelay = 1,      // root: 1, delay high, delay low
    kEventKeyDown = 2,
    kEventKeyUp = 3,
    kEventButtonDown = 4,
    kEventButtonUp = 5,
    kEventMove = 6,       // x low, x sign, y low, y sign (sign 0xFF when negative)
};
constexpr int kLongestEvent = 5;           // a movement in the root's string
constexpr int kLongestLockedRecord = 8;    // a movement record of the locked variant
constexpr int kMaxDelayMs = 0xFFFF;
constexpr int kMaxMove = 255;
// Locked variant: every record starts with a delay field (1, low, high once a delay is set).
constexpr int kDelayFieldSize = 3;
constexpr quint8 kDelayFieldSet = 1;
constexpr quint8 kMoveDelayField[kDelayFieldSize] = {1, 1, 0};

// Macro code byte 0 by the play code.
constexpr quint8 kMacroCodeWhilePressed = 0xF0; // play code 4
constexpr quint8 kMacroCodeToggle = 0xF1;       // play code 2
constexpr quint8 kMacroCodeAlsoRead = 0xF2;     // read as a macro, never written
constexpr quint8 kMacroCodeCycles = 0xF3;       // any other play code; bytes 2-3 = repeat count, big-endian
constexpr int kPlayCodeCycles = 0;
constexpr int kPlayCodeToggle = 2;
constexpr int kPlayCodeWhilePressed = 4;

// --- macro slots ----------------------------------------------------------------------------------------------
constexpr int kFirstMacroSlot = 4;
constexpr int kLastMacroSlot = 8;
constexpr int kMacroSlots = kLastMacroSlot - kFirstMacroSlot + 1;

// --- key codes ------------------------------------------------------------------------------------------------
constexpr quint8 kCodeCombination = 0xFC;      // mask, usage, 0
constexpr quint8 kCodeLeftOnLeftKey = 0xF4;    // root: 1, 2, 3 on KKey 0
constexpr quint8 kLeftOnLeftKey[TwoPage::kKeyCodeSize] = {0xF4, 1, 2, 3};
constexpr quint8 kFirstNamedCode = 0x90;       // below it a root entry holds a plain HID usage

struct KeyCodeRow {
    int function;
    quint8 code[TwoPage::kKeyCodeSize];
};

// Codes both dialects share. Read both ways: function -> code when encoding, code byte 0 -> function when
// decoding (the 0xFC rows by their mask and usage).
constexpr KeyCodeRow kSharedCodes[] = {
    {KFuncVolumeUp, {0x90, 0, 0, 0}},     {KFuncVolumeDown, {0x91, 0, 0, 0}},  {KFuncMute, {0x92, 0, 0, 0}},
    {KFuncPlayPause, {0x93, 0, 0, 0}},    {KFuncStop, {0x94, 0, 0, 0}},        {KFuncPreviousSong, {0x95, 0, 0, 0}},
    {KFuncNextSong, {0x96, 0, 0, 0}},     {KFuncRun, {0x98, 0, 0, 0}},         {KFuncShowDesktop, {0x9A, 0, 8, 7}},
    {KFuncLockComputer, {0x9D, 0, 0, 0}}, {KFuncPlayer, {0xA0, 0, 0, 0}},      {KFuncFind, {0xA5, 0, 0, 0}},
    {KFuncMouseLeft, {0xB0, 0, 0, 0}},    {KFuncMouseRight, {0xB1, 0, 0, 0}},  {KFuncMouseMiddle, {0xB2, 0, 0, 0}},
    {KFuncRollerForward, {0xB5, 0, 0, 0}}, {KFuncRollerBack, {0xB6, 0, 0, 0}}, {KFuncFire, {0xB9, 2, 0, 0}},
    {KFuncDpiUp, {0xBB, 0, 0, 0}},        {KFuncDpiDown, {0xBC, 0, 0, 0}},     {KFuncDisable, {0xBF, 0, 0, 0}},
    {KFuncSniper, {0xC2, 0, 4, 4}},       {KFuncZoomIn, {0xFC, 1, 0x57, 0}},   {KFuncZoomOut, {0xFC, 1, 0x56, 0}},
    {KFuncCloseWindow, {0xFC, 4, 0x3D, 0}}, {KFuncNull, {0, 0, 0, 0}},
};
// The root's own codes.
constexpr KeyCodeRow kRootCodes[] = {
    {KFuncMouseForward, {0xB3, 0, 0, 0}},
    {KFuncMouseBack, {0xB4, 0, 0, 0}},
};
// The locked variant's own codes: Forward and Back swapped, and a DPI cycle button.
constexpr KeyCodeRow kLockedCodes[] = {
    {KFuncMouseForward, {0xB4, 0, 0, 0}},
    {KFuncMouseBack, {0xB3, 0, 0, 0}},
    {KFuncDpiCycle, {0xC1, 0, 0, 0}},
};

// The buttons of the image's key entries, in entry order.
constexpr int kRootKeyOrder[TwoPage::kKeyEntries] = {0, 1, 2, 4, 3, 11, 12, 6, 5, 7};
constexpr int kLockedKeyOrder[TwoPage::kKeyEntries] = {0, 2, 1, 3, 4, 13, 11, 12, 5, 7};
// The locked variant reads the first eight entries back; its macro slot is a key's place among them, from 1.
constexpr int kLockedReadEntries = 8;

// What a button does when its entry is all zero.
constexpr int ownFunction(int key)
{
    switch (key) {
    case 0: return KFuncMouseLeft;
    case 1: return KFuncMouseRight;
    case 2: return KFuncMouseMiddle;
    case 3: return KFuncMouseForward;
    case 4: return KFuncMouseBack;
    case 5: return KFuncDpiUp;
    case 6: return KFuncDpiDown;
    case 11: return KFuncRollerForward;
    case 12: return KFuncRollerBack;
    default: return KFuncNull;
    }
}

// --- settings -------------------------------------------------------------------------------------------------
constexpr int kReportRates = 4;
constexpr int kLightModes = 10;
constexpr int kRootLightSetterModes = 10;
constexpr int kLockedLightSetterModes = 6;
constexpr int kRootSpeedMax = 2;
constexpr int kRootBrightnessMax = 10;
constexpr int kLockedSpeedMax = 4;
constexpr int kLockedBrightnessMax = 4;

// Image byte 41 by light mode.
constexpr quint8 kLightAttribute[kLightModes] = {0, 1, 0, 0x7F, 1, 0x7F, 0x7F, 0x7F, 0, 0};
// The locked variant's own attribute for the modes its setter takes.
constexpr quint8 kLockedLightAttribute[kLockedLightSetterModes] = {0x7F, 0x7F, 0, 0, 0x7F, 0};

// --- locked variant: interrupt report -------------------------------------------------------------------------
constexpr int kInterruptDpiByte = 4;    // DPI value, little-endian word
constexpr int kInterruptStageByte = 6;  // current stage
constexpr int kInterruptMinLength = kInterruptStageByte + 1;
constexpr int kInterruptMaxStage = TwoPage::kDpiStages - 1;

// The variant's table A: linear codes 0..60 for 200..6200.
constexpr quint8 lockedTableACode(int value) { return quint8((value - TwoPage::kDpiMin) / TwoPage::kDpiStep); }

} // namespace Ulverd
