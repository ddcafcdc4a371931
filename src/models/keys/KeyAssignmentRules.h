#pragma once

#include <QVariantMap>

// The checks and translations an assignment passes before it reaches the device, as pure functions of the
// device's product id (and, for keyboard keys, its layout's device type). The key model applies them and
// shows the refusal; the rules themselves touch neither the device nor the user interface.
namespace KeyAssignmentRules {

// The key-assignment families, by product id (the catalogue's flags).
bool isKeyboardPid(int pid);          // the keyboard's wired id and the RGB keyboard
bool isSniperMousePid(int pid);
bool isSwapModifierMousePid(int pid);
bool isSideButtonMousePid(int pid);
bool isDpiKeyMousePid(int pid);
bool isDpiFunctionPairPid(int pid);   // the DPI-key mice that offer DPI Cycle, DPI+ and DPI-
bool isBasicMousePid(int pid);

enum class Refusal { None, SniperOnDpiButton, FireOnDpiButton };

struct Translation {
    Refusal refusal = Refusal::None;
    int function = 0; // what is written
    int mask = 0;     // modifier mask written with it (Ctrl and Shift exchanged on some mice)

    bool accepted() const { return refusal == Refusal::None; }
};

// Checks func for key on the device with product id pid and translates it: "Null" becomes the button's
// default, Alt and Win combinations become system actions, a combination becomes the modifier function of
// its mask, a combination without modifiers a keyboard key. mask: 1 Ctrl, 2 Shift, 4 Alt, 8 Win; usage: the
// HID keyboard usage of the combination's key, 0 for none.
Translation checkAndTranslate(int pid, int key, int func, int mask, int usage);

// A modifier mask with Ctrl and Shift exchanged, as the swapped-modifier mice take and store it.
int swapCtrlShift(int mask);

// The modifier function of a mask (Ctrl 32 ... Ctrl+Shift+Alt+Win 57); 0 for 0 or a mask above 15.
int modifierMaskToFunction(int mask);

// On a keyboard (device type 2) the function "Keyboard keys" (42) with a usage becomes that key's own
// function; true when func was replaced. Other device types, functions and unmapped usages keep func.
bool hidUsageToKeyFunction(int deviceType, int& func, int usage);

// The factory function of every keyboard cell, by key id as decimal text (keys "14" to "141").
QVariantMap defaultKeyMap();
// The factory function of one keyboard cell; 0 for an empty cell or a key outside the keyboard.
int defaultKeyFunction(int key);

} // namespace KeyAssignmentRules
