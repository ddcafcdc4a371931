#pragma once

#include "devices/keyboard/KKeyCode.h"
#include "devices/keyboard/Quenby8aProtocol.h"

#include <QtGlobal>

// The keyboard's key matrix as the firmware sees it: which key sits at which of the 128 entries of the device
// key table, the factory key table, and the helpers that walk a profile's key list in table order.
namespace Quenby8a {

constexpr int kPositionCount = kKeyPositions;
constexpr int kEmptyPosition = -1;

// The two ISO keys: present in the matrix, but they have no default function and profiles do not list them.
constexpr int kIsoKeyK45 = 26;
constexpr int kIsoKeyK42 = 113;
constexpr int kFnKey = 101;

// The key at a table position, kEmptyPosition for an empty one or a position outside the table.
int keyAtPosition(int position);

// The last position that holds key, -1 when the key is not on this keyboard.
int positionOfKey(int key);

inline bool isIsoKey(int key) { return key == kIsoKeyK45 || key == kIsoKeyK42; }

// The factory code of a table position (zeros for empty positions).
KKeyCode defaultKeyCode(int position);

// The function that bears the key's own name (Esc Key -> Esc Key); false for the ISO keys and for keys
// that are not on this keyboard.
bool defaultFunction(int key, int* function);

// True for keys followed by empty positions, with their number.
bool keyGapAfter(int key, int* count);

// True for the keys whose next position belongs to an ISO key.
bool hasHiddenKeyAfter(int key);

} // namespace Quenby8a
