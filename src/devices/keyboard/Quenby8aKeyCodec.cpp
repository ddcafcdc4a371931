#include "devices/keyboard/Quenby8aKeyCodec.h"

#include <QDebug>

namespace {

struct FixedCode {
    int function;
    KKeyCode code;
};

// Functions with one fixed code: system shortcuts, mouse buttons and consumer keys.
constexpr FixedCode kFixedCodes[] = {
    {-1, KKeyCode(KKeyCode::kDisabled, 0)},
    {0, KKeyCode()},
    {1, KKeyCode(KKeyCode::kCombination, 0x04, 0, 0x3D)},   // Alt+F4
    {2, KKeyCode(KKeyCode::kCombination, 0x08, 0, 0x0F)},   // Win+L
    {3, KKeyCode(KKeyCode::kCombination, 0x08, 0, 0x15)},   // Win+R
    {4, KKeyCode(KKeyCode::kCombination, 0x08, 0, 0x07)},   // Win+D
    {6, KKeyCode(KKeyCode::kCombination, 0x04, 0, 0x2B)},   // Alt+Tab
    {7, KKeyCode(KKeyCode::kCombination, 0x08, 0, 0x57)},   // Win+keypad plus
    {8, KKeyCode(KKeyCode::kCombination, 0x08, 0, 0x56)},   // Win+keypad minus
    {9, KKeyCode(KKeyCode::kMouse, 0x01)},
    {10, KKeyCode(KKeyCode::kMouse, 0x04)},
    {11, KKeyCode(KKeyCode::kMouse, 0x02)},
    {18, KKeyCode(KKeyCode::kConsumer, 0x01, 0, 0x83)},
    {19, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xCD)},
    {20, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB7)},
    {21, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB6)},
    {22, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xB5)},
    {23, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xEA)},
    {24, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xE9)},
    {25, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0xE2)},
    {28, KKeyCode(KKeyCode::kConsumer, 0x00, 0, 0x21)},
    {179, KKeyCode(KKeyCode::kKeyboardFn, 0x01)},
};

// Keyboard-key functions lie at a fixed distance from the HID usage of their key.
struct UsageRange {
    int firstFunction;
    int lastFunction;
    int usageMinusFunction;
};

constexpr UsageRange kUsageRanges[] = {
    {58, 103, -54},    // letters, digits, Enter ... backslash: usages 0x04-0x31
    {105, 124, -54},   // semicolon ... PrtSc: usages 0x33-0x46
    {127, 127, -55},   // Pause: 0x48
    {129, 137, -55},   // Home ... Up: 0x4A-0x52
    {171, 177, 53},    // left and right Ctrl, Shift, Alt, left Win: 0xE0-0xE6
};

// Modifier mask -> function of a combination whose usage names no system shortcut.
constexpr int kCombinationByMask[16] = {0, 32, 33, 47, 34, 48, 50, 53, 35, 49, 51, 54, 52, 55, 56, 57};

struct ConsumerName {
    quint8 usageLow;
    int function;
};

constexpr ConsumerName kConsumerFunctions[] = {
    {0x21, 28}, {0x83, 18}, {0xB5, 22}, {0xB6, 21}, {0xB7, 20}, {0xCD, 19}, {0xE2, 25}, {0xE9, 24}, {0xEA, 23},
};

constexpr bool fitsByte(int v) { return v >= 0 && v <= 0xFF; }

} // namespace

bool Quenby8aKeyCodec::isModifierFunction(int function)
{
    return (function >= 32 && function <= 35) || (function >= 47 && function <= 57);
}

bool Quenby8aKeyCodec::encode(int function, int a, int b, KKeyCode* code)
{
    KKeyCode out;
    bool known = false;

    for (const FixedCode& fixed : kFixedCodes) {
        if (fixed.function == function) {
            out = fixed.code;
            known = true;
            break;
        }
    }
    if (!known) {
        for (const UsageRange& range : kUsageRanges) {
            if (function >= range.firstFunction && function <= range.lastFunction) {
                out = KKeyCode(KKeyCode::kKeyboard, quint8(function + range.usageMinusFunction));
                known = true;
                break;
            }
        }
    }
    if (!known) {
        if (function == kMacro) {
            if (!fitsByte(a))
                return false;
            out = KKeyCode(KKeyCode::kMacro, quint8(a));
            known = true;
        } else if (function == kKeyCombination || isModifierFunction(function)) {
            if (!fitsByte(a) || !fitsByte(b))
                return false;
            out = KKeyCode(KKeyCode::kCombination, quint8(a), 0, quint8(b));
            known = true;
        } else if (function == kKeyboardKeys) {
            if (!fitsByte(b))
                return false;
            out = KKeyCode(KKeyCode::kKeyboard, quint8(b));
            known = true;
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

int Quenby8aKeyCodec::decode(const KKeyCode& code)
{
    switch (code.type) {
    case KKeyCode::kKeyboard: {
        const int usage = code.code;
        for (const UsageRange& range : kUsageRanges) {
            const int first = range.firstFunction + range.usageMinusFunction;
            const int last = range.lastFunction + range.usageMinusFunction;
            if (usage >= first && usage <= last)
                return usage - range.usageMinusFunction;
        }
        return kKeyboardKeys;
    }
    case KKeyCode::kCombination: {
        const int mask = code.code;
        if (mask == 4 && code.param2 == 0x2B)
            return 6;
        if (mask == 4 && code.param2 == 0x3D)
            return 1;
        if (mask == 8) {
            switch (code.param2) {
            case 0x07: return 4;
            case 0x0F: return 2;
            case 0x15: return 3;
            case 0x56: return 8;
            case 0x57: return 7;
            default: break;
            }
        }
        return mask < 16 ? kCombinationByMask[mask] : kNull;
    }
    case KKeyCode::kMouse:
        if (code.param2 > 1)
            return kNull;
        switch (code.code) {
        case 1: return 9;
        case 2: return 11;
        case 4: return 10;
        default: return kNull;
        }
    case KKeyCode::kConsumer:
        for (const ConsumerName& c : kConsumerFunctions) {
            if (c.usageLow == code.param2)
                return c.function;
        }
        return kNull;
    case KKeyCode::kMacro:
        return kMacro;
    case KKeyCode::kDisabled:
        return kDisable;
    case KKeyCode::kKeyboardFn:
        return code.code == 1 ? kFn : kNull;
    default:
        return kNull;
    }
}
