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

// How often a macro of play type MacroPlayCycles runs per key press; counts from files are limited to this range
// before they reach the device. Taken as double so that a count beyond int is limited, not wrapped.
constexpr int kMacroTimesMin = 1;
constexpr int kMacroTimesMax = 1000;

inline int clampMacroTimes(double times)
{
    if (!(times >= kMacroTimesMin)) // also NaN
        return kMacroTimesMin;
    return times > kMacroTimesMax ? kMacroTimesMax : int(times);
}

Q_DECLARE_METATYPE(MacroPlayType)
