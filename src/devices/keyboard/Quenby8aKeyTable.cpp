#include "devices/keyboard/Quenby8aKeyTable.h"

#include "devices/keyboard/Quenby8aKeyCodec.h"

#include <array>

namespace Quenby8a {
namespace {

constexpr int E = kEmptyPosition;

// Rows of eight positions. Most positions hold key position + 14; the right-hand block does not.
constexpr std::array<qint16, kPositionCount> kKeyAtPosition = {{
    14, 15, 16, 17, 18, 19, E, E,           // 0-7
    22, 23, 24, 25, 26, 27, E, E,           // 8-15
    30, 31, 32, 33, 34, 35, E, E,           // 16-23
    38, 39, 40, 41, 42, E, E, E,            // 24-31
    46, 47, 48, 49, 50, E, E, E,            // 32-39
    54, 55, 56, 57, 58, 59, E, E,           // 40-47
    62, 63, 64, 65, 66, E, E, E,            // 48-55
    70, 71, 72, 73, 74, E, E, E,            // 56-63
    78, 79, 80, 81, 82, E, E, E,            // 64-71
    86, 87, 88, 89, 90, 91, E, E,           // 72-79
    94, 95, 96, 97, 98, 101, E, E,          // 80-87
    102, 103, 104, 105, 106, 115, E, E,     // 88-95
    110, 111, 112, 113, 122, 123, E, E,     // 96-103
    118, 119, 120, 121, 130, 131, E, E,     // 104-111
    134, 135, 129, 137, 136, 139, E, E,     // 112-119
    128, E, E, E, E, E, E, E,               // 120-127
}};

// HID keyboard usages of the factory table; position 85 is Fn and gets its own code.
constexpr std::array<quint8, kPositionCount> kDefaultUsage = {{
    0x29, 0x35, 0x2B, 0x39, 0xE1, 0xE0, 0, 0,
    0x3A, 0x1E, 0x14, 0x04, 0x64, 0xE3, 0, 0,
    0x3B, 0x1F, 0x1A, 0x16, 0x1D, 0xE2, 0, 0,
    0x3C, 0x20, 0x08, 0x07, 0x1B, 0, 0, 0,
    0x3D, 0x21, 0x15, 0x09, 0x06, 0, 0, 0,
    0x3E, 0x22, 0x17, 0x0A, 0x19, 0x2C, 0, 0,
    0x3F, 0x23, 0x1C, 0x0B, 0x05, 0, 0, 0,
    0x40, 0x24, 0x18, 0x0D, 0x11, 0, 0, 0,
    0x41, 0x25, 0x0C, 0x0E, 0x10, 0, 0, 0,
    0x42, 0x26, 0x12, 0x0F, 0x36, 0xE6, 0, 0,
    0x43, 0x27, 0x13, 0x33, 0x37, 0, 0, 0,
    0x44, 0x2D, 0x2F, 0x34, 0x38, 0xE4, 0, 0,
    0x45, 0x2E, 0x30, 0x32, 0xE5, 0x50, 0, 0,
    0x46, 0x2A, 0x31, 0x28, 0x52, 0x51, 0, 0,
    0x48, 0x4A, 0x4B, 0x4E, 0x4D, 0x4F, 0, 0,
    0x4C, 0, 0, 0, 0, 0, 0, 0,
}};

constexpr int kFnPosition = 85;

struct KeyGap {
    int key;
    int count;
};

constexpr KeyGap kKeyGaps[] = {
    {19, 2}, {27, 2}, {35, 2}, {59, 2}, {91, 2}, {101, 2}, {115, 2}, {123, 2}, {131, 2}, {139, 2},
    {42, 3}, {50, 3}, {66, 3}, {74, 3}, {82, 3},
    {128, 7},
};

} // namespace

int keyAtPosition(int position)
{
    if (position < 0 || position >= kPositionCount)
        return kEmptyPosition;
    return kKeyAtPosition[size_t(position)];
}

int positionOfKey(int key)
{
    if (key < 0)
        return -1;
    for (int pos = kPositionCount - 1; pos >= 0; --pos) {
        if (kKeyAtPosition[size_t(pos)] == key)
            return pos;
    }
    return -1;
}

KKeyCode defaultKeyCode(int position)
{
    if (position == kFnPosition)
        return KKeyCode(KKeyCode::kKeyboardFn, 1);
    if (keyAtPosition(position) == kEmptyPosition)
        return KKeyCode();
    return KKeyCode(KKeyCode::kKeyboard, kDefaultUsage[size_t(position)]);
}

bool defaultFunction(int key, int* function)
{
    const int pos = positionOfKey(key);
    if (pos < 0 || isIsoKey(key))
        return false;
    if (function)
        *function = Quenby8aKeyCodec::decode(defaultKeyCode(pos));
    return true;
}

bool keyGapAfter(int key, int* count)
{
    for (const KeyGap& gap : kKeyGaps) {
        if (gap.key == key) {
            if (count)
                *count = gap.count;
            return true;
        }
    }
    return false;
}

bool hasHiddenKeyAfter(int key)
{
    return key == 25 || key == 112;
}

} // namespace Quenby8a
