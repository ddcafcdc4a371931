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

// What a key is made to do, -1..182. Stored as int in profiles and passed to the device layer. This enum is the
// one spelling of a function value; the predicates and tables below are the one place each rule lives.
enum KKeyFunction : int {
    KFuncDisable = -1,
    KFuncNull = 0,
    KFuncSystemFirst = 1,
    KFuncCloseWindow = 1,  // Alt+F4
    KFuncLockComputer = 2, // Win+L
    KFuncRun = 3,          // Win+R
    KFuncShowDesktop = 4,  // Win+D
    KFuncTraditionalDesktop = 5,
    KFuncSwitchProgram = 6, // Alt+Tab
    KFuncZoomIn = 7,        // Win+keypad plus
    KFuncZoomOut = 8,       // Win+keypad minus
    KFuncSystemLast = 8,
    KFuncMouseLeft = 9,
    KFuncMouseMiddle = 10,
    KFuncMouseRight = 11,
    KFuncMouseForward = 12,
    KFuncMouseBack = 13,
    KFuncCustomButton1 = 14,
    KFuncCustomButton2 = 15,
    KFuncCustomButton3 = 16,
    KFuncCustomButton4 = 17,
    KFuncMouseLast = 17,
    KFuncMediaFirst = 18,
    KFuncPlayer = 18,
    KFuncPlayPause = 19,
    KFuncStop = 20,
    KFuncPreviousSong = 21,
    KFuncNextSong = 22,
    KFuncVolumeDown = 23,
    KFuncVolumeUp = 24,
    KFuncMute = 25,
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
    KFuncModifierComboFirst = 47, // Ctrl+Shift
    KFuncCtrlShift = 47,
    KFuncCtrlAlt = 48,
    KFuncCtrlWin = 49,
    KFuncShiftAlt = 50,
    KFuncShiftWin = 51,
    KFuncAltWin = 52,
    KFuncCtrlShiftAlt = 53,
    KFuncCtrlShiftWin = 54,
    KFuncCtrlAltWin = 55,
    KFuncShiftAltWin = 56,
    KFuncCtrlShiftAltWin = 57,
    KFuncModifierComboLast = 57, // Ctrl+Shift+Alt+Win
    KFuncKeysFirst = 58,         // "A Key"
    KFuncAKey = 58,
    KFuncBKey = 59,
    KFuncCKey = 60,
    KFuncDKey = 61,
    KFuncEKey = 62,
    KFuncFKey = 63,
    KFuncGKey = 64,
    KFuncHKey = 65,
    KFuncIKey = 66,
    KFuncJKey = 67,
    KFuncKKey = 68,
    KFuncLKey = 69,
    KFuncMKey = 70,
    KFuncNKey = 71,
    KFuncOKey = 72,
    KFuncPKey = 73,
    KFuncQKey = 74,
    KFuncRKey = 75,
    KFuncSKey = 76,
    KFuncTKey = 77,
    KFuncUKey = 78,
    KFuncVKey = 79,
    KFuncWKey = 80,
    KFuncXKey = 81,
    KFuncYKey = 82,
    KFuncZKey = 83,
    KFunc1Key = 84,
    KFunc2Key = 85,
    KFunc3Key = 86,
    KFunc4Key = 87,
    KFunc5Key = 88,
    KFunc6Key = 89,
    KFunc7Key = 90,
    KFunc8Key = 91,
    KFunc9Key = 92,
    KFunc0Key = 93,
    KFuncEnterKey = 94,
    KFuncEscKey = 95,
    KFuncBackspaceKey = 96,
    KFuncTabKey = 97,
    KFuncSpaceKey = 98,
    KFuncMinusKey = 99,
    KFuncEqualKey = 100,
    KFuncLeftBracketKey = 101,
    KFuncRightBracketKey = 102,
    KFuncBackslashKey = 103,
    KFuncK42Key = 104,
    KFuncSemicolonKey = 105,
    KFuncQuoteKey = 106,
    KFuncGraveKey = 107,
    KFuncCommaKey = 108,
    KFuncPeriodKey = 109,
    KFuncSlashKey = 110,
    KFuncCapsKey = 111,
    KFuncF1Key = 112,
    KFuncF2Key = 113,
    KFuncF3Key = 114,
    KFuncF4Key = 115,
    KFuncF5Key = 116,
    KFuncF6Key = 117,
    KFuncF7Key = 118,
    KFuncF8Key = 119,
    KFuncF9Key = 120,
    KFuncF10Key = 121,
    KFuncF11Key = 122,
    KFuncF12Key = 123,
    KFuncPrtScKey = 124,
    KFuncKeysLowLast = 125, // "ScrLk Key": usage + 54 up to here
    KFuncScrLkKey = 125,
    KFuncKeysHighFirst = 127, // "Pause Key": usage + 55 from here
    KFuncPauseKey = 127,
    KFuncInsKey = 128,
    KFuncHomeKey = 129,
    KFuncPgUpKey = 130,
    KFuncDeleteKey = 131,
    KFuncEndKey = 132,
    KFuncPgDnKey = 133,
    KFuncRightKey = 134,
    KFuncLeftKey = 135,
    KFuncDownKey = 136,
    KFuncUpKey = 137,
    KFuncNumLockKey = 138,
    KFuncNumSlashKey = 139,
    KFuncNumStarKey = 140,
    KFuncNumMinusKey = 141,
    KFuncNumPlusKey = 142,
    KFuncNumEnterKey = 143,
    KFuncNum1Key = 144,
    KFuncNum2Key = 145,
    KFuncNum3Key = 146,
    KFuncNum4Key = 147,
    KFuncNum5Key = 148,
    KFuncNum6Key = 149,
    KFuncNum7Key = 150,
    KFuncNum8Key = 151,
    KFuncNum9Key = 152,
    KFuncNum0Key = 153,
    KFuncNumPeriodKey = 154,
    KFuncK45Key = 155,
    KFuncKeysLast = 156, // "App Key"
    KFuncAppKey = 156,
    KFuncModifierKeyFirst = 171, // "Ctrl_L Key": usage + 53
    KFuncCtrlLKey = 171,
    KFuncShiftLKey = 172,
    KFuncAltLKey = 173,
    KFuncWinLKey = 174,
    KFuncCtrlRKey = 175,
    KFuncShiftRKey = 176,
    KFuncAltRKey = 177,
    KFuncModifierKeyLast = 178, // "Win_R Key"
    KFuncWinRKey = 178,
    KFuncFn = 179,
    KFuncMuteKey = 180, // no name in the function list
    KFuncWinLock = 181,
    KFuncWorkMode = 182,
    KFuncLast = 182
};

// Modifier masks of combinations: 1 Ctrl, 2 Shift, 4 Alt, 8 Win.
enum KModifierMask : int { KMaskCtrl = 1, KMaskShift = 2, KMaskAlt = 4, KMaskWin = 8, KMaskAll = 15 };

// Ctrl, Shift, Alt, Win and their combinations: functions that take a modifier mask and a usage.
constexpr bool isModifierFunction(int func)
{
    return (func >= KFuncCtrl && func <= KFuncWin)
        || (func >= KFuncModifierComboFirst && func <= KFuncModifierComboLast);
}

// The modifier function of each mask 0..15 (0: no modifier, no function); read both ways.
constexpr KKeyFunction kModifierFunctionByMask[KMaskAll + 1] = {
    KFuncNull,     KFuncCtrl,         KFuncShift,       KFuncCtrlShift,       KFuncAlt,      KFuncCtrlAlt,
    KFuncShiftAlt, KFuncCtrlShiftAlt, KFuncWin,         KFuncCtrlWin,         KFuncShiftWin, KFuncCtrlShiftWin,
    KFuncAltWin,   KFuncCtrlAltWin,   KFuncShiftAltWin, KFuncCtrlShiftAltWin,
};

// The modifier function of a mask; KFuncNull for 0 and for masks outside 0..15.
constexpr KKeyFunction modifierMaskToFunction(int mask)
{
    return mask >= 0 && mask <= KMaskAll ? kModifierFunctionByMask[mask] : KFuncNull;
}

// The mask of a modifier function; 0 for any other function.
constexpr int modifierFunctionToMask(int func)
{
    for (int mask = 1; mask <= KMaskAll; ++mask) {
        if (kModifierFunctionByMask[mask] == func)
            return mask;
    }
    return 0;
}

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
