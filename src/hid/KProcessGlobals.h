#pragma once

// Process-wide objects built before main() runs and destroyed at exit.

#include <QMutex>
#include <QString>

#include <functional>

// Set by the key recorder, called by the low-level keyboard hook: (vkCode, scanCode, extended, down, repeat).
// Empty until a recorder installs itself.
extern std::function<void(int, int, bool, bool, bool)> g_keyboardHookCallback;

// The format of times stored by the analytics client.
extern const QString g_storedTimeFormat;

// Where the firmware update downloads from; set from the update check's reply, empty until then.
extern QString g_firmwareDownloadUrl;

// Guards the first creation of the crash handler.
extern QMutex g_crashHandlerCreationLock;
