#pragma once

#include <QString>

// Physical key or button of a device, 0..140. Stored as int in profiles and passed to the device layer, so the
// numbering is part of the data formats. 0-13 are mouse buttons and controls; 14-140 are keyboard matrix cells,
// numbered column by column in groups of eight, so some values name no key.
enum KKey : int {
    KKeyFirst = 0,
    KKeyMouseLast = 13,
    KKeyKeyboardFirst = 14,
    KKeyLast = 140
};

// What a key is made to do, -1..182. Stored as int in profiles and passed to the device layer.
enum KKeyFunction : int {
    KFuncDisable = -1,
    KFuncNull = 0,
    KFuncSystemFirst = 1,
    KFuncSystemLast = 8,
    KFuncMouseLeft = 9,
    KFuncMouseLast = 17,
    KFuncMediaFirst = 18,
    KFuncMediaLast = 25,
    KFuncSniper = 26,
    KFuncFire = 27,
    KFuncFind = 28,
    KFuncMacro = 29,
    KFuncKeyCombination = 30,
    KFuncCommonButton = 31,
    KFuncCtrl = 32,
    KFuncShift = 33,
    KFuncAlt = 34,
    KFuncWin = 35,
    KFuncDpiCycle = 36,
    KFuncRollerForward = 37,
    KFuncRollerBack = 38,
    KFuncDpiUp = 39,
    KFuncDpiDown = 40,
    KFuncMacroSwitch = 41,
    KFuncKeyboardKey = 42,
    KFuncModeSwitch = 43,
    KFuncGunPressingMacro = 44,
    KFuncSideRollerUp = 45,
    KFuncSideRollerDown = 46,
    KFuncModifierComboFirst = 47,   // Ctrl+Shift
    KFuncModifierComboLast = 57,    // Ctrl+Shift+Alt+Win
    KFuncKeysFirst = 58,            // "A Key"
    KFuncKeysLowLast = 125,         // "ScrLk Key": usage + 54 up to here
    KFuncKeysHighFirst = 127,       // "Pause Key": usage + 55 from here
    KFuncKeysLast = 156,            // "App Key"
    KFuncModifierKeyFirst = 171,    // "Ctrl_L Key": usage + 53
    KFuncModifierKeyLast = 178,     // "Win_R Key"
    KFuncFn = 179,
    KFuncWinLock = 181,
    KFuncWorkMode = 182,
    KFuncLast = 182
};

// Distances between the keyboard-key functions and the HID keyboard usages of the same keys.
constexpr int kFuncUsageOffsetLow = 54;      // functions 58..125
constexpr int kFuncUsageOffsetHigh = 55;     // functions 127..156
constexpr int kFuncUsageOffsetModifier = 53; // functions 171..178

// Display name of a key; empty for a value without a name or outside 0..140.
QString getKeyStr(KKey type);
// Display name of a function; empty for a value without a name or outside -1..182.
QString getFuncStr(KKeyFunction func);
// Display name of a Qt key code (Qt::Key), used as the text of recorded macro events and chosen keys.
QString qtKeyToText(const int& qtKey);
// HID usage (Keyboard/Keypad page) of the key that produces qtKey on a US layout; the native scan code
// (set-1, 0x100 added for extended keys) picks main block or keypad and left or right modifier. 0 for none.
int qtKeyToHidUsage(const int& qtKey, const int& nativeScanCode);
