#include "platform/input/NativeKeyTable.h"

#include <iterator>

namespace {

struct Row {
    quint16 eventCode; // linux/input-event-codes.h
    quint8 scanCode;   // set 1, without the 0xE0 prefix
    bool extended;
    quint8 vkCode;
};

// The kernel's codes 1..88 follow set 1, so there the scan code equals the event code. Virtual-key codes are
// the side-specific ones for Shift, Ctrl and Alt, as a low-level hook reports them; right Shift carries the
// extended flag there, Pause does not and Num Lock does, as the layout documents have them.
constexpr Row kRows[] = {
    {1, 0x01, false, 0x1B},   // Esc
    {2, 0x02, false, 0x31},   {3, 0x03, false, 0x32},   {4, 0x04, false, 0x33},   {5, 0x05, false, 0x34},
    {6, 0x06, false, 0x35},   {7, 0x07, false, 0x36},   {8, 0x08, false, 0x37},   {9, 0x09, false, 0x38},
    {10, 0x0A, false, 0x39},  {11, 0x0B, false, 0x30},  // 1..9, 0
    {12, 0x0C, false, 0xBD},  // -_
    {13, 0x0D, false, 0xBB},  // =+
    {14, 0x0E, false, 0x08},  // Backspace
    {15, 0x0F, false, 0x09},  // Tab
    {16, 0x10, false, 0x51},  {17, 0x11, false, 0x57},  {18, 0x12, false, 0x45},  {19, 0x13, false, 0x52},
    {20, 0x14, false, 0x54},  {21, 0x15, false, 0x59},  {22, 0x16, false, 0x55},  {23, 0x17, false, 0x49},
    {24, 0x18, false, 0x4F},  {25, 0x19, false, 0x50},  // Q W E R T Y U I O P
    {26, 0x1A, false, 0xDB},  // [{
    {27, 0x1B, false, 0xDD},  // ]}
    {28, 0x1C, false, 0x0D},  // Enter
    {29, 0x1D, false, 0xA2},  // left Ctrl
    {30, 0x1E, false, 0x41},  {31, 0x1F, false, 0x53},  {32, 0x20, false, 0x44},  {33, 0x21, false, 0x46},
    {34, 0x22, false, 0x47},  {35, 0x23, false, 0x48},  {36, 0x24, false, 0x4A},  {37, 0x25, false, 0x4B},
    {38, 0x26, false, 0x4C},  // A S D F G H J K L
    {39, 0x27, false, 0xBA},  // ;:
    {40, 0x28, false, 0xDE},  // '"
    {41, 0x29, false, 0xC0},  // `~
    {42, 0x2A, false, 0xA0},  // left Shift
    {43, 0x2B, false, 0xDC},  // \|
    {44, 0x2C, false, 0x5A},  {45, 0x2D, false, 0x58},  {46, 0x2E, false, 0x43},  {47, 0x2F, false, 0x56},
    {48, 0x30, false, 0x42},  {49, 0x31, false, 0x4E},  {50, 0x32, false, 0x4D},  // Z X C V B N M
    {51, 0x33, false, 0xBC},  // ,<
    {52, 0x34, false, 0xBE},  // .>
    {53, 0x35, false, 0xBF},  // /?
    {54, 0x36, true, 0xA1},   // right Shift
    {55, 0x37, false, 0x6A},  // keypad *
    {56, 0x38, false, 0xA4},  // left Alt
    {57, 0x39, false, 0x20},  // Space
    {58, 0x3A, false, 0x14},  // Caps Lock
    {59, 0x3B, false, 0x70},  {60, 0x3C, false, 0x71},  {61, 0x3D, false, 0x72},  {62, 0x3E, false, 0x73},
    {63, 0x3F, false, 0x74},  {64, 0x40, false, 0x75},  {65, 0x41, false, 0x76},  {66, 0x42, false, 0x77},
    {67, 0x43, false, 0x78},  {68, 0x44, false, 0x79},  // F1..F10
    {69, 0x45, true, 0x90},   // Num Lock
    {70, 0x46, false, 0x91},  // Scroll Lock
    {71, 0x47, false, 0x67},  {72, 0x48, false, 0x68},  {73, 0x49, false, 0x69},  // keypad 7 8 9
    {74, 0x4A, false, 0x6D},  // keypad -
    {75, 0x4B, false, 0x64},  {76, 0x4C, false, 0x65},  {77, 0x4D, false, 0x66},  // keypad 4 5 6
    {78, 0x4E, false, 0x6B},  // keypad +
    {79, 0x4F, false, 0x61},  {80, 0x50, false, 0x62},  {81, 0x51, false, 0x63},  // keypad 1 2 3
    {82, 0x52, false, 0x60},  // keypad 0
    {83, 0x53, false, 0x6E},  // keypad .
    {86, 0x56, false, 0xE2},  // the key between left Shift and Z
    {87, 0x57, false, 0x7A},  {88, 0x58, false, 0x7B},  // F11, F12
    {96, 0x1C, true, 0x0D},   // keypad Enter
    {97, 0x1D, true, 0xA3},   // right Ctrl
    {98, 0x35, true, 0x6F},   // keypad /
    {99, 0x37, true, 0x2C},   // Print Screen
    {100, 0x38, true, 0xA5},  // right Alt
    {102, 0x47, true, 0x24},  // Home
    {103, 0x48, true, 0x26},  // Up
    {104, 0x49, true, 0x21},  // Page Up
    {105, 0x4B, true, 0x25},  // Left
    {106, 0x4D, true, 0x27},  // Right
    {107, 0x4F, true, 0x23},  // End
    {108, 0x50, true, 0x28},  // Down
    {109, 0x51, true, 0x22},  // Page Down
    {110, 0x52, true, 0x2D},  // Insert
    {111, 0x53, true, 0x2E},  // Delete
    {119, 0x45, false, 0x13}, // Pause
    {125, 0x5B, true, 0x5B},  // left Win
    {126, 0x5C, true, 0x5C},  // right Win
    {127, 0x5D, true, 0x5D},  // Menu
};

} // namespace

namespace NativeKeyTable {

WindowsKeyCode fromEventCode(quint32 eventCode)
{
    for (const Row& row : kRows) {
        if (row.eventCode == eventCode)
            return WindowsKeyCode{row.scanCode, row.extended, row.vkCode};
    }
    return WindowsKeyCode{};
}

WindowsKeyCode fromNativeScanCode(quint32 nativeScanCode)
{
    if (nativeScanCode < kXkbOffset)
        return WindowsKeyCode{};
    return fromEventCode(nativeScanCode - kXkbOffset);
}

int messageScanCode(quint32 nativeScanCode)
{
    constexpr int kExtended = 0x100;
    constexpr int kRightShift = 0x36;
    const WindowsKeyCode code = fromNativeScanCode(nativeScanCode);
    if (code.vkCode == 0)
        return 0;
    const bool prefixed = code.extended && code.scanCode != kRightShift;
    return code.scanCode + (prefixed ? kExtended : 0);
}

} // namespace NativeKeyTable
