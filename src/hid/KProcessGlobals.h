#pragma once

// Process-wide objects built before main() runs and destroyed at exit.

#include <QString>

#include <functional>

// Set by the key recorder, called by the low-level keyboard hook: (vkCode, scanCode, extended, down, repeat).
// Empty until a recorder installs itself.
extern std::function<void(int, int, bool, bool, bool)> g_keyboardHookCallback;

// Where the firmware update downloads from; set from the update check's reply, empty until then.
extern QString g_firmwareDownloadUrl;
