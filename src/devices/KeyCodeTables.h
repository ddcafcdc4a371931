#pragma once

#include "devices/keyboard/KKeyCode.h"
#include "models/keys/KKey.h"

#include <cstddef>

// What the families' key codecs share: tables of functions with one fixed code, and the functions whose code
// carries the caller's values (a macro slot, a modifier mask and usage, a keyboard usage).
struct FixedKeyCode {
    int function;
    KKeyCode code;
};

// The fixed code of function in table; null when the table has none.
template <std::size_t N>
const KKeyCode* fixedCodeOf(const FixedKeyCode (&table)[N], int function)
{
    for (const FixedKeyCode& fixed : table) {
        if (fixed.function == function)
            return &fixed.code;
    }
    return nullptr;
}

enum class KeyParameters { NotParameterized, Encoded, OutOfRange };

// Macro: type 5 with the slot a (0 .. slotCount - 1); the key combination and the modifier functions: type 2
// with the mask a and the usage b; "Keyboard keys ": type 0 with the usage b. Masks and usages fit one byte.
inline KeyParameters encodeParameterized(int function, int a, int b, int slotCount, KKeyCode* out)
{
    auto fitsByte = [](int v) { return v >= 0 && v <= 0xFF; };
    if (function == KFuncMacro) {
        if (a < 0 || a >= slotCount || !fitsByte(a))
            return KeyParameters::OutOfRange;
        *out = KKeyCode(KKeyCode::kMacro, quint8(a));
        return KeyParameters::Encoded;
    }
    if (function == KFuncKeyCombination || isModifierFunction(function)) {
        if (!fitsByte(a) || !fitsByte(b))
            return KeyParameters::OutOfRange;
        *out = KKeyCode(KKeyCode::kCombination, quint8(a), 0, quint8(b));
        return KeyParameters::Encoded;
    }
    if (function == KFuncKeyboardKey) {
        if (!fitsByte(b))
            return KeyParameters::OutOfRange;
        *out = KKeyCode(KKeyCode::kKeyboard, quint8(b));
        return KeyParameters::Encoded;
    }
    return KeyParameters::NotParameterized;
}
