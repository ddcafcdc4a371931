#pragma once

#include "devices/keyboard/KKeyCode.h"
#include "models/keys/KKey.h"

// Translation between a key function (the user-facing function value, -1..182) and the 4-byte code the
// keyboard stores for a key.
class Quenby8aKeyCodec
{
public:
    // The wired keyboard, or the full-size RGB model, which also stores the keypad, the keys beside it and
    // its WinLock and WorkMode keys.
    enum Model { Wired, FullSize };

    // Encodes a function with the caller's two parameters: for Macro a is the slot; for the key combination
    // and the modifier functions a is the modifier mask and b the HID usage; for Keyboard keys b is the
    // usage. False when the function has no code on this keyboard or a parameter does not fit its byte;
    // code is then left as it was.
    static bool encode(int function, int a, int b, KKeyCode* code, Model model = Wired);

    // The function a stored code stands for; codes the keyboard does not know read as Null.
    static int decode(const KKeyCode& code, Model model = Wired);
};
