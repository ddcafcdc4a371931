#pragma once

#include "devices/keyboard/KKeyCode.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "models/keys/KKey.h"

#include <QByteArray>
#include <QtGlobal>

// The key table of the register mouse family: 11 entries of one 4-byte key code at 0x600 + 4 * entry, which
// button each entry belongs to, the code of every key function and how the mouse's codes read back.
//
// The models fall into key lines. A line fixes the key order of the table, the rules by which a stored code
// reads back (the custom buttons share their codes with Forward and Back, the rollers share FF FF FF FF, so
// the entry decides), the function "Null" gives back to each button, and the steps around a key write.
//
// Pure functions of their arguments: callable from any thread.
namespace FarrantNordic {

enum class KeyLine : quint8 {
    Root,          // the family's root and every model without key operations of its own
    Farrant,       // the Farrant models: the root's table, written without the press-macro and game-mode steps
    KelhamNordic,  // the Maldon-layout line: other defaults and read-back rules
    Kelham,        // reads as KelhamNordic, with defaults of its own
    Yarrin,        // another key order, other defaults and read-back rules
};

// Which read-back rules decide the custom buttons.
enum class DecodeRules : quint8 { Root, KelhamNordic, Yarrin };

constexpr int kKeyTableEntries = kKeyEntries;
constexpr int kKeyCodeSize = int(sizeof(KKeyCode));
constexpr int kKeyTableSize = kKeyTableEntries * kKeyCodeSize;
constexpr quint32 kKeyTableAddress = kRegKeyTable;
// The table is read in two 24-byte reads; the second read's first 20 bytes complete it.
constexpr int kKeyTableReadLength = 24;
static_assert(2 * kKeyTableReadLength >= kKeyTableSize && kKeyTableReadLength % kKeyCodeSize == 0,
              "two reads cover the 44-byte table");

constexpr int kNoDefault = -2;  // a button whose "Null" encodes nothing: its entry is written as 00 00 00 00

struct KeyLineRules {
    int keyOrder[kKeyTableEntries];  // the KKey id of each entry
    DecodeRules decode;
    int defaults[KKeyMouseLast + 1];  // the function "Null" restores, by KKey id; kNoDefault for none
    bool clearPressMacroOnMainKey;    // a write to key 0 first sets the defined press macro to 0
    bool gameModeAfterWrite;          // the game-mode step follows the write
    bool pauseBetweenReads;           // getKeys waits the model's delay between its two reads
    bool logsKeyWrites;               // "setKeyFunc: writeCmd success/error"
};

class FarrantNordicKeyCodec
{
public:
    static const KeyLineRules& rules(KeyLine line);

    // The table entry of a key, -1 when the key has no entry in this line's table.
    static int entryOfKey(KeyLine line, int key);
    static quint32 entryAddress(int entry) { return kKeyTableAddress + quint32(kKeyCodeSize * entry); }

    // The code of a function with the caller's two values: a is the macro slot (Macro) or the modifier mask
    // (the key combination and the modifier functions), b the HID usage (those and "Keyboard keys ").
    // False, with "[ERROR] transToByte: There is no such function", for a function the mouse has no code for;
    // false also for a value that does not fit (a slot without a macro page, a mask or usage over one byte).
    // code is left as it was on failure.
    static bool encode(int function, int a, int b, KKeyCode* code);

    // The function the code at table entry `entry` stands for under the given rules.
    static int decode(const KKeyCode& code, int entry, DecodeRules rules);

    // The function "Null" gives back to key in this line (kNoDefault when there is none), and its code:
    // 00 00 00 00 for a key without a default.
    static int defaultFunction(KeyLine line, int key);
    static KKeyCode defaultCode(KeyLine line, int key);
    // The whole table of defaults in this line's key order.
    static QByteArray defaultTable(KeyLine line);
};

// --- macro slots ------------------------------------------------------------------------------------------
// A key plays the macro of its slot: its position in kMacroSlotKeys. The left button can also play up to
// four press macros, numbered 1000 to 1003, with pages of their own.
constexpr int kMacroSlotKeys[] = {0, 2, 1, 7, 8, 9, 10, 11, 12, 5, 6};
constexpr int kMacroSlots = int(sizeof(kMacroSlotKeys) / sizeof(kMacroSlotKeys[0]));
constexpr int kPressMacroFirst = 1000;
constexpr int kPressMacroCount = 4;
constexpr quint32 kMacroPageSize = kMacroRecordSize;
constexpr quint32 kMacroPageBase = kRegMacroArea;  // slot n at kMacroPageBase + n * kMacroPageSize
constexpr quint32 kPressMacroPageBase = 0x10000;  // press macro 1000 + m at kPressMacroPageBase + m * size
static_assert(kMacroSlots == kKeyTableEntries, "one macro slot per table entry");
static_assert(kMacroPageBase + kMacroSlots * kMacroPageSize <= kPressMacroPageBase,
              "the key macro pages end before the press-macro pages");

// The slot of a key, -1 for a key that has none.
constexpr int macroSlotOfKey(int key)
{
    for (int slot = 0; slot < kMacroSlots; ++slot) {
        if (kMacroSlotKeys[slot] == key)
            return slot;
    }
    return -1;
}

constexpr bool isMacroSlot(int slot)
{
    return (slot >= 0 && slot < kMacroSlots) || (slot >= kPressMacroFirst && slot < kPressMacroFirst + kPressMacroCount);
}

// The first address of a slot's page; 0 (the key table's own space, never a page) for any other number.
constexpr quint32 macroPageAddress(int slot)
{
    if (slot >= 0 && slot < kMacroSlots)
        return kMacroPageBase + quint32(slot) * kMacroPageSize;
    if (slot >= kPressMacroFirst && slot < kPressMacroFirst + kPressMacroCount)
        return kPressMacroPageBase + quint32(slot - kPressMacroFirst) * kMacroPageSize;
    return 0;
}
static_assert(macroPageAddress(3) == 0x4000 && macroPageAddress(1003) == 0x13000 && macroPageAddress(11) == 0
                  && macroPageAddress(-1) == 0,
              "slot 3 at 0x4000, the last press macro at 0x13000, nothing else has a page");

} // namespace FarrantNordic
