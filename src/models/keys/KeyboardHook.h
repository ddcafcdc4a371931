#pragma once

#include "platform/input/KeyboardEventSource.h"

#include <functional>

// The keyboard hook of the key-press preview. One process-wide hook on the platform's keyboard-event source
// reports each key event of the program's windows, while one of them is in the foreground, to one
// process-wide callback with the key's virtual-key code, scan code, extended flag, whether it is down and
// whether it is a repeated down of the key held last. The hook object itself holds nothing: it installs and
// removes the single hook.
//
// Threads: GUI thread only (the source reports there).
class KeyboardHook
{
public:
    using Callback = std::function<void(int vkCode, int scanCode, bool extended, bool down, bool repeat)>;

    // The callback every reported event goes to; empty at start.
    static Callback& callback();
    static bool isInstalled();

    // Installs the hook unless one is installed already; false when there is nothing to hook into.
    bool installKeyboardHook();
    // Removes the hook; nothing happens when none is installed.
    void uninstallKeyboardHook();

    // The hook procedure: tracks down and repeat over the events and calls the callback. The event is never
    // held back.
    static void keyboardHookProc(int nCode, int message, const KeyboardEventSource::Record& record);

private:
    struct Tracking {
        int lastCode = 0;
        bool down = false;
        bool repeat = false;
    };
    static Tracking& tracking();
    static KeyboardEventSource*& handle();
};
