#pragma once

#include "devices/keyboard/KKeyCode.h"

// Translation between a key function (the user-facing function value, -1..182) and the 4-byte code the
// keyboard stores for a key.
class Quenby8aKeyCodec
{
public:
    // Well-known function values.
    static constexpr int kDisable = -1;
    static constexpr int kNull = 0;
    static constexpr int kMacro = 29;
    static constexpr int kKeyCombination = 30;
    static constexpr int kKeyboardKeys = 42;
    static constexpr int kFn = 179;

    // Encodes a function with the caller's two parameters: for Macro a is the slot; for the key combination
    // and the modifier functions a is the modifier mask and b the HID usage; for Keyboard keys b is the
    // usage. False when the function has no code on this keyboard or a parameter does not fit its byte;
    // code is then left as it was.
    static bool encode(int function, int a, int b, KKeyCode* code);

    // The function a stored code stands for; codes the keyboard does not know read as Null.
    static int decode(const KKeyCode& code);

    // Ctrl, Shift, Alt, Win and their combinations: they take a modifier mask and a usage.
    static bool isModifierFunction(int function);
};
