#pragma once

#include <QtGlobal>

// The codes a keyboard event carries on the system the program was written for: the set-1 scan code, the
// extended-key flag (0xE0 prefix) and the virtual-key code. Layout documents name their keys by these
// (fields "scanCode", "extended", "vkCode"), so the press preview compares them directly.
struct WindowsKeyCode {
    int scanCode = 0;
    bool extended = false;
    int vkCode = 0; // 0: no key
};

namespace NativeKeyTable {

// XKB keycodes (what Qt reports as the native scan code under X11 and Wayland) are the kernel's input
// event codes plus this offset.
constexpr quint32 kXkbOffset = 8;

// The Windows codes of a key by its kernel input event code; vkCode 0 for a code the table does not know.
WindowsKeyCode fromEventCode(quint32 eventCode);
// The same by Qt's native scan code (an XKB keycode).
WindowsKeyCode fromNativeScanCode(quint32 nativeScanCode);
// The scan code a key message carries for Qt's native scan code: set 1, 0x100 added for the keys sent with the
// 0xE0 prefix; 0 for a code the table does not know. Right Shift has no prefix: the extended flag a low-level
// hook reports for it (and the layout documents keep) is not part of its message.
int messageScanCode(quint32 nativeScanCode);

} // namespace NativeKeyTable
