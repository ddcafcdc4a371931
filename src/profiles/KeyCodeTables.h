#pragma once

// Conversions between the key codes older macro files recorded, HID keyboard usages and key display texts.

#include <QString>

// Windows virtual-key code to HID keyboard usage and scan value (extended keys as 0x100 plus the code;
// 0 where the scan code does not matter). Unknown codes give 0 and 0; the result is always true.
bool virtualKeyToHidUsage(int virtualKey, int& usage, int& scanValue);

// Display text of a HID keyboard usage; empty for a usage without a name.
QString hidUsageToKeyName(const int& usage);
