#pragma once

#include "devices/keyboard/KKeyCode.h"

#include <QtGlobal>

// The two-collection mice's key codes, read both ways from one table (EdrisProtocol.h): a key function with
// its two byte parameters becomes a 4-byte code, and a code read from the profile image becomes the function
// the key editor shows. Orlan differs in a few codes.
//
// Pure functions: callable from any thread.
namespace EdrisKeyCodec {

enum class Dialect { Root, Orlan };

// The code of a function; false (out untouched) when the function has none.
bool encode(Dialect dialect, int function, quint8 parameter1, quint8 parameter2, KKeyCode* out);

// The function a code stands for on a key; 0 for a code no function has (an all-zero code too).
int decode(Dialect dialect, const KKeyCode& code, int key);

// What a combination's modifier mask and usage make of a function (the editor's key combinations that name a
// system function); the function itself when they name none.
int settleCombination(int function, int mask, int usage);

} // namespace EdrisKeyCodec
