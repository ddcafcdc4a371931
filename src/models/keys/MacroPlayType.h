#pragma once

#include <QMetaType>

// How a macro repeats. Stored as the text "1".."3" in macro files and profiles and passed to the device as int.
enum MacroPlayType : int {
    MacroPlayCycles = 1,       // runs "times" times per key press
    MacroPlayToggle = 2,       // one press starts it, the next stops it
    MacroPlayWhilePressed = 3  // plays while the key is held
};

constexpr int kMacroPlayTypeMin = MacroPlayCycles;
constexpr int kMacroPlayTypeMax = MacroPlayWhilePressed;

inline bool isValidMacroPlayType(int value)
{
    return value >= kMacroPlayTypeMin && value <= kMacroPlayTypeMax;
}
Q_DECLARE_METATYPE(MacroPlayType)
