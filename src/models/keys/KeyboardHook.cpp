#include "models/keys/KeyboardHook.h"

KeyboardHook::Callback& KeyboardHook::callback()
{
    static Callback callback;
    return callback;
}

KeyboardHook::Tracking& KeyboardHook::tracking()
{
    static Tracking tracking;
    return tracking;
}

KeyboardEventSource*& KeyboardHook::handle()
{
    static KeyboardEventSource* handle = nullptr;
    return handle;
}

bool KeyboardHook::isInstalled()
{
    return handle() != nullptr;
}

bool KeyboardHook::installKeyboardHook()
{
    // One hook at a time: a second install keeps the first, so no event is reported twice.
    if (!handle())
        handle() = KeyboardEventSource::install(&KeyboardHook::keyboardHookProc);
    return handle() != nullptr;
}

void KeyboardHook::uninstallKeyboardHook()
{
    if (handle()) {
        KeyboardEventSource::remove(handle());
        handle() = nullptr;
    }
}

void KeyboardHook::keyboardHookProc(int nCode, int message, const KeyboardEventSource::Record& record)
{
    if (!KeyboardEventSource::foregroundIsOurs())
        return;
    Tracking& state = tracking();
    if (nCode == KeyboardEventSource::kAction) {
        if (record.vkCode == state.lastCode) {
            state.repeat = true;
        } else {
            state.repeat = false;
            state.lastCode = record.vkCode;
        }
        if (message == KeyboardEventSource::KeyDown || message == KeyboardEventSource::SysKeyDown) {
            state.down = true;
        } else if (message == KeyboardEventSource::KeyUp || message == KeyboardEventSource::SysKeyUp) {
            state.down = false;
            state.repeat = false;
            state.lastCode = 0;
        }
    }
    if (const Callback& call = callback())
        call(record.vkCode, record.scanCode, record.flags & KeyboardEventSource::kExtendedFlag, state.down,
             state.repeat);
}
