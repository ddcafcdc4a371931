#pragma once

// The 4-byte key codes of the two-page mice, read from one table in both directions (UlverdProtocol.h). The
// root and the locked variant differ in a few codes; the dialect picks the rows.
//
// Code forms: a named code (byte 0 from the table, bytes 1-3 as the table gives them); a macro (0xF0/0xF1/0xF3
// by the play code, the slot, the repeat count big-endian); a combination (0xFC, modifier mask, HID usage, 0);
// a keyboard key (root: the HID usage alone; locked variant: 0xFC, 0, usage); the root's Left on the left
// button (0xF4, 1, 2, 3).

#include <QtGlobal>

namespace UlverdKeyCodec {

enum class Dialect { Root, Locked };

struct Code {
    quint8 bytes[4] = {0, 0, 0, 0};
};

// What a function needs besides itself: the macro slot (29), the modifier mask (30, 32-35, 47-57), the HID usage
// (combinations, 42), and the macro play code and repeat count of the macro code.
struct Parameters {
    int slot = 0;
    int mask = 0;
    int usage = 0;
    int playCode = 0;
    int repeat = 1;
};

// The code of a function on a key; false, with out untouched, when the function has no code or a parameter
// lies outside what the code can hold.
bool encode(Dialect dialect, int function, int key, const Parameters& parameters, Code* out);

// Whether the function has a code in the dialect at all (parameters aside).
bool hasCode(Dialect dialect, int function);

// The function a code stands for on a key: an all-zero code is the button's own function; a byte 0 that the
// table does not name (0 and plain usages included) leaves that; *named tells whether the table named it.
int decode(Dialect dialect, const quint8* code, int key, bool* named = nullptr);

// The parameters a function takes from the two values a caller hands over (value, value2), by function:
// macro -> slot, combination -> mask and usage, keyboard key -> usage.
Parameters parametersFor(Dialect dialect, int function, int value, int value2);

} // namespace UlverdKeyCodec
