#pragma once

// The feature-report mouse's own view of itself: its collection, the commands it takes, its factory state,
// the DPI codes of each model, the button codes and the macro buffer format it plays. The simulated mouse
// answers and decodes from these; nothing here is shared with the program's driver, so the emulator stays an
// independent check of it.

#include <QtGlobal>

namespace SimFeatureReport {

// The vendor collection: 8-byte commands as 9-byte feature reports (id 0), pages of 33 bytes both ways.
constexpr quint16 kVendorUsagePage = 0xFF01;
constexpr quint16 kVendorUsage = 1;
constexpr int kFeatureReportSize = 9;
constexpr int kCommandSize = 8;
constexpr int kPageSize = 33;
constexpr int kPageData = 32;

// Commands (byte 0 of the feature report's payload).
constexpr quint8 kSetReportRate = 0x01;
constexpr quint8 kSetDpiIndex = 0x0B;
constexpr quint8 kSetRgb = 0x0C;
constexpr quint8 kSetLight = 0x0D;
constexpr quint8 kSetDpiList = 0x11;
constexpr quint8 kSetKeys = 0x12;
constexpr quint8 kSetMacro = 0x13;
constexpr quint8 kGetFwVersion = 0x80;
constexpr quint8 kGetReportRate = 0x81;
constexpr quint8 kGetDpiIndex = 0x8B;
constexpr quint8 kGetRgb = 0x8C;
constexpr quint8 kGetLight = 0x8D;
constexpr quint8 kGetDpiList = 0x91;
constexpr quint8 kGetKeys = 0x92;

// Buttons: sixteen 4-byte slots; the KKey of each (-1 unused).
constexpr int kSlots = 16;
constexpr int kSlotSize = 4;
constexpr int kSlotKey[kSlots] = {0, 1, 2, 13, 4, 3, -1, -1, -1, -1, -1, -1, -1, -1, 11, 12};

// Macros: four buffers of 1024 bytes, written as 32 pages.
constexpr int kMacroSlots = 4;
constexpr int kMacroBufferSize = 1024;
constexpr int kMacroPages = kMacroBufferSize / kPageData;

// Factory state.
constexpr quint16 kFactoryFirmware = 0x0105;
constexpr quint8 kFactoryInterval = 1;         // 1000 Hz
constexpr quint8 kFactoryStage = 1;
constexpr int kFactoryDpi[] = {400, 800, 1600, 2400, 3200, 4800};
constexpr int kKinlochFactoryDpi[] = {500, 1000, 1500, 2000, 3000, 4000};
constexpr int kFactoryStages = 6;
constexpr quint8 kFactoryEffect = 1;           // breathing in one colour
constexpr quint8 kFactoryParameter = 5;
constexpr quint8 kFactoryFlag = 1;
constexpr quint8 kFactoryColour[3] = {255, 0, 0};   // red, green, blue
// Slot codes at the factory: left, right, middle, DPI cycle, back, forward, wheel forward and back.
constexpr quint8 kFactorySlots[kSlots][kSlotSize] = {
    {0x01, 0, 0xF0, 0}, {0x01, 0, 0xF1, 0}, {0x01, 0, 0xF2, 0}, {0x07, 0, 0x03, 0}, {0x01, 0, 0xF3, 0},
    {0x01, 0, 0xF4, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0},
    {0, 0, 0, 0}, {0, 0, 0, 0}, {0x04, 0, 0x01, 0}, {0x04, 0, 0x02, 0},
};

// Key functions as the program numbers them.
namespace Function {
constexpr int Disable = -1, Null = 0, CloseWindow = 1, LockComputer = 2, Run = 3, ShowDesktop = 4,
              TraditionalDesktop = 5, SwitchProgram = 6, ZoomIn = 7, ZoomOut = 8, Left = 9, Middle = 10,
              Right = 11, Forward = 12, Back = 13, Player = 18, PlayPause = 19, Stop = 20, Previous = 21,
              Next = 22, VolumeDown = 23, VolumeUp = 24, Mute = 25, Sniper = 26, Fire = 27, Find = 28,
              Macro = 29, Ctrl = 32, Shift = 33, Alt = 34, Win = 35, DpiCycle = 36, RollerForward = 37,
              RollerBack = 38, KeyboardKey = 42, Unknown = -2;
}
// Consumer usages (code bytes 2-3, little-endian) and what they do.
struct UsageFunction {
    int usage;
    int function;
};
constexpr UsageFunction kConsumer[] = {{0x183, Function::Player}, {0xCD, Function::PlayPause}, {0xB7, Function::Stop},
                                       {0xB6, Function::Previous}, {0xB5, Function::Next},
                                       {0xEA, Function::VolumeDown}, {0xE9, Function::VolumeUp},
                                       {0xE2, Function::Mute}};
constexpr UsageFunction kMouseButtons[] = {{0xF0, Function::Left}, {0xF1, Function::Right}, {0xF2, Function::Middle},
                                           {0xF3, Function::Back}, {0xF4, Function::Forward}};
// Win with these usages is a system action.
constexpr UsageFunction kWinActions[] = {{0x07, Function::ShowDesktop}, {0x0F, Function::LockComputer},
                                         {0x10, Function::TraditionalDesktop}, {0x14, Function::Find},
                                         {0x15, Function::Run}, {0x56, Function::ZoomOut}, {0x57, Function::ZoomIn}};
// Modifier masks of two or more modifiers -> combination function 47..57.
constexpr int kComboMasks[] = {3, 5, 9, 6, 10, 12, 7, 11, 13, 14, 15};

// Macro records.
constexpr quint8 kRelease = 0x80;
constexpr quint8 kButtonCodes[3] = {0xF0, 0xF2, 0xF1};   // buttons 1, 2, 3
constexpr int kDelayUnitMs[5] = {0, 10, 20, 50, 100};    // by extension unit 1..4

} // namespace SimFeatureReport
