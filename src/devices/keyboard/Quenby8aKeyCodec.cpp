#include "devices/keyboard/Quenby8aKeyCodec.h"

#include "devices/KeyCodeTables.h"

#include <QDebug>

namespace {

// Functions with one fixed code: system shortcuts, mouse buttons and consumer keys. Encoding and decoding
// both read this table.
constexpr FixedKeyCode kFixedCodes[] = {
    {KFuncDisable, KKeyCode(KKeyCode::kDisabled, 0)},
    {KFuncNull, KKeyCode()},
    {KFuncCloseWindow, KKeyCode(KKeyCode::kCombination, KMaskAlt, 0, 0x3D)},
    {KFuncLockComputer, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x0F)},
    {KFuncRun, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x15)},
    {KFuncShowDesktop, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x07)},
    {KFuncSwitchProgram, KKeyCode(KKeyCode::kCombination, KMaskAlt, 0, 0x2B)},
    {KFuncZoomIn, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x57)},
    {KFuncZoomOut, KKeyCode(KKeyCode::kCombination, KMaskWin, 0, 0x56)},
    {KFuncMouseLeft, KKeyCode(KKeyCode::kMouse, 0x01)},
    {KFuncMouseMiddle, KKeyCode(KKeyCode::kMouse, 0x04)},
    {KFuncMouseRight, KKeyCode(KKeyCode::kMouse, 0x02)},
    {KFuncPlayer, KKeyCode(KKeyCode::kConsumer, 0x01, 0, 0x83)},
    {KFuncPlayPause, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xCD)},
    {KFuncStop, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB7)},
    {KFuncPreviousSong, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB6)},
    {KFuncNextSong, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB5)},
    {KFuncVolumeDown, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xEA)},
    {KFuncVolumeUp, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xE9)},
    {KFuncMute, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xE2)},
    {KFuncFind, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0x21)},
    {KFuncFn, KKeyCode(KKeyCode::kKeyboardFn, 0x01)},
};

// Whether a stored code reads as a fixed code. The firmware compares only some bytes: a shortcut by its
// mask and usage, a mouse button by its mask (a parameter above 1 is no button), a consumer key by the low
// byte of its usage.
constexpr bool readsAs(const KKeyCode& stored, const KKeyCode& fixed)
{
    if (stored.type != fixed.type)
        return false;
    switch (stored.type) {
    case KKeyCode::kCombination: return stored.code == fixed.code && stored.param2 == fixed.param2;
    case KKeyCode::kMouse: return stored.code == fixed.code && stored.param2 <= 1;
    case KKeyCode::kConsumer: return stored.param2 == fixed.param2;
    default: return false;
    }
}

// Keyboard-key functions lie at a fixed distance from the HID usage of their key.
struct UsageRange {
    int firstFunction;
    int lastFunction;
    int usageMinusFunction;
};

constexpr UsageRange kUsageRanges[] = {
    {KFuncKeysFirst, KFuncBackslashKey, -kFuncUsageOffsetLow}, // A ... backslash: usages 0x04-0x31
    {KFuncSemicolonKey, KFuncPrtScKey, -kFuncUsageOffsetLow},  // semicolon ... PrtSc: 0x33-0x46
    {KFuncPauseKey, KFuncPauseKey, -kFuncUsageOffsetHigh},     // Pause: 0x48
    {KFuncHomeKey, KFuncUpKey, -kFuncUsageOffsetHigh},         // Home ... Up: 0x4A-0x52
    {KFuncCtrlLKey, KFuncAltRKey, kFuncUsageOffsetModifier},   // Ctrl, Shift, Alt, left Win: 0xE0-0xE6
};

// The full-size model stores every keyboard key at its plain distance.
constexpr UsageRange kFullSizeUsageRanges[] = {
    {KFuncKeysFirst, KFuncKeysLowLast, -kFuncUsageOffsetLow},   // A ... ScrLk: usages 0x04-0x47
    {KFuncPauseKey, KFuncKeysLast, -kFuncUsageOffsetHigh},      // Pause ... App: 0x48-0x65
    {KFuncCtrlLKey, KFuncWinRKey, kFuncUsageOffsetModifier},    // the eight modifiers: 0xE0-0xE7
};

// Its keyboard-switch keys beside Fn.
constexpr FixedKeyCode kFullSizeFixedCodes[] = {
    {KFuncWinLock, KKeyCode(KKeyCode::kKeyboardFn, 0x04)},
    {KFuncWorkMode, KKeyCode(KKeyCode::kKeyboardFn, 0x10)},
};

template <std::size_t N>
constexpr const UsageRange* rangesEnd(const UsageRange (&table)[N])
{
    return table + N;
}

struct Ranges {
    const UsageRange* begin;
    const UsageRange* end;
};

Ranges usageRanges(Quenby8aKeyCodec::Model model)
{
    if (model == Quenby8aKeyCodec::FullSize)
        return {kFullSizeUsageRanges, rangesEnd(kFullSizeUsageRanges)};
    return {kUsageRanges, rangesEnd(kUsageRanges)};
}

} // namespace

bool Quenby8aKeyCodec::encode(int function, int a, int b, KKeyCode* code, Model model)
{
    KKeyCode out;
    bool known = false;

    for (const FixedKeyCode& fixed : kFixedCodes) {
        if (fixed.function == function) {
            out = fixed.code;
            known = true;
            break;
        }
    }
    if (!known && model == FullSize) {
        for (const FixedKeyCode& fixed : kFullSizeFixedCodes) {
            if (fixed.function == function) {
                out = fixed.code;
                known = true;
                break;
            }
        }
    }
    const Ranges ranges = usageRanges(model);
    if (!known) {
        for (const UsageRange* range = ranges.begin; range != ranges.end; ++range) {
            if (function >= range->firstFunction && function <= range->lastFunction) {
                out = KKeyCode(KKeyCode::kKeyboard, quint8(function + range->usageMinusFunction));
                known = true;
                break;
            }
        }
    }
    if (!known) {
        switch (encodeParameterized(function, a, b, 0x100, &out)) {
        case KeyParameters::Encoded: known = true; break;
        case KeyParameters::OutOfRange: return false;
        case KeyParameters::NotParameterized: break;
        }
    }
    if (!known) {
        qDebug() << "[ERROR] transToByte: There is no such function";
        return false;
    }
    if (code)
        *code = out;
    return true;
}

int Quenby8aKeyCodec::decode(const KKeyCode& code, Model model)
{
    for (const FixedKeyCode& fixed : kFixedCodes) {
        if (readsAs(code, fixed.code))
            return fixed.function;
    }
    switch (code.type) {
    case KKeyCode::kKeyboard: {
        const int usage = code.code;
        const Ranges ranges = usageRanges(model);
        for (const UsageRange* range = ranges.begin; range != ranges.end; ++range) {
            const int first = range->firstFunction + range->usageMinusFunction;
            const int last = range->lastFunction + range->usageMinusFunction;
            if (usage >= first && usage <= last)
                return usage - range->usageMinusFunction;
        }
        return KFuncKeyboardKey;
    }
    case KKeyCode::kCombination: return modifierMaskToFunction(code.code);
    case KKeyCode::kMacro: return KFuncMacro;
    case KKeyCode::kDisabled: return KFuncDisable;
    case KKeyCode::kKeyboardFn:
        if (model == FullSize) {
            for (const FixedKeyCode& fixed : kFullSizeFixedCodes) {
                if (fixed.code == code)
                    return fixed.function;
            }
        }
        return code.code == 1 ? KFuncFn : KFuncNull;
    default: return KFuncNull;
    }
}
