#pragma once

#include "devices/mouse/featurereport/DunmorProtocol.h"
#include "models/keys/KKeyModelItem.h"

#include <array>

// Button codes of the feature-report mice: a key function as its four code bytes and back. Pure: callable
// from any thread.
namespace DunmorKeyCodec {

using Code = std::array<quint8, Dunmor::kSlotSize>;

// The code of function with its numbers x (macro slot, modifier mask) and y (HID usage); false, out untouched,
// for a function the mouse has no code for, a macro slot outside 1..4, a modifier mask over 15 or a usage over
// 255.
bool keyFunctionToCode(int function, int x, int y, Code* out);

// The combination function of a modifier mask of two or more modifiers; 0 for any other mask.
int modifierFunction(int mask);

// The function a code stands for (Null for a code the mouse does not name).
int decode(const Code& code);

// A slot's code as the key editor's item: value1..value4 the code bytes, the type its function, no text.
KKeyModelItem keyCodeToItem(const Code& code, int key);

} // namespace DunmorKeyCodec
