#include "models/keys/KKey.h"

#include <QMetaEnum>
#include <Qt>

#include <iterator>

namespace {

// Indexed by KKey; nullptr marks a matrix cell without a key.
constexpr const char* kKeyNames[] = {
    /*   0 */ "Left", "Right", "Middle", "Forward", "Back", "DPI+", "DPI-", "Custom button 1",
    /*   8 */ "Custom button 2", "Custom button 3", "Custom button 4", "Roller forward", "Roller back", "DPI Cycle",
    /*  14 */ "Esc Key", "`~ Key", "Tab Key", "Caps Key", "Shift_L Key", "Ctrl_L Key", "Num Key", nullptr,
    /*  22 */ "F1 Key", "1! Key", "Q Key", "A Key", "K45 Key", "Win_L Key", "/ Key", nullptr,
    /*  30 */ "F2 Key", "2@ Key", "W Key", "S Key", "Z Key", "Alt_L Key", "* Key", nullptr,
    /*  38 */ "F3 Key", "3# Key", "E Key", "D Key", "X Key", nullptr, "- Key", nullptr,
    /*  46 */ "F4 Key", "4$ Key", "R Key", "F Key", "C Key", nullptr, "7 Key", nullptr,
    /*  54 */ "F5 Key", "5% Key", "T Key", "G Key", "V Key", "Space Key", "8 Key", nullptr,
    /*  62 */ "F6 Key", "6^ Key", "Y Key", "H Key", "B Key", nullptr, "9 Key", nullptr,
    /*  70 */ "F7 Key", "7& Key", "U Key", "J Key", "N Key", nullptr, "4 Key", nullptr,
    /*  78 */ "F8 Key", "8* Key", "I Key", "K Key", "M Key", nullptr, "5 Key", nullptr,
    /*  86 */ "F9 Key", "9( Key", "O Key", "L Key", ",< Key", "Alt_R Key", "6 Key", nullptr,
    /*  94 */ "F10 Key", "0) Key", "P Key", ";: Key", ".> Key", "Win_R Key", "+ Key", "Fn Key",
    /* 102 */ "F11 Key", "-_ Key", "[{ Key", "'\" Key", "/? Key", "App Key", "2 Key", "Mute Key",
    /* 110 */ "F12 Key", "=+ Key", "]} Key", "K42 Key", nullptr, "Ctrl_R Key", "3 Key", "WinLock Key",
    /* 118 */ "PrtSc Key", "Backspace Key", "\\| Key", "Enter Key", "Shift_R Key", "Left Key", "0 Key",
    /* 125 */ "WorkMode Key", "ScrLk Key", "Ins Key", "Delete Key", "Pgup Key", "Up Key", "Down Key", ". Key",
    /* 133 */ nullptr, "Pause Key", "Home Key", "End Key", "Pgdn Key", "1 Key", "Right Key", "Enter Key",
};
static_assert(std::size(kKeyNames) == KKeyLast + 1, "one name per key");

// Indexed by function + 1, so that Disable (-1) is the first row; nullptr marks a value without a name.
constexpr const char* kFunctionNames[] = {
    /*  -1 */ "Disable", "Null", "Close window", "Lock the computer", "Running", "Show desktop",
    /*   5 */ "Traditional desktop", "Switching program", "Zoom in", "Zoom out",
    /*   9 */ "Left", "Middle", "Right", "Forward", "Back",
    /*  14 */ "Custom button 1", "Custom button 2", "Custom button 3", "Custom button 4",
    /*  18 */ "Player", "Play/Pause", "Stop", "Previous song", "Next song", "Volume down", "Volume up", "Mute",
    /*  26 */ "Sniper button", "Fire button", "Find", "Macro", "Key combination", "Common button",
    /*  32 */ "Ctrl", "Shift", "Alt", "Win",
    /*  36 */ "DPI Cycle", "Roller forward", "Roller back", "DPI+", "DPI-",
    /*  41 */ "Macro switch", "Keyboard keys ", "Mode switch", "Gun pressing macro", "Side roller up",
    /*  46 */ "Side roller down",
    /*  47 */ "Ctrl+Shift", "Ctrl+Alt", "Ctrl+Win", "Shift+Alt", "Shift+Win", "Alt+Win",
    /*  53 */ "Ctrl+Shift+Alt", "Ctrl+Shift+Win", "Ctrl+Alt+Win", "Shift+Alt+Win", "Ctrl+Shift+Alt+Win",
    /*  58 */ "A Key", "B Key", "C Key", "D Key", "E Key", "F Key", "G Key", "H Key", "I Key", "J Key",
    /*  68 */ "K Key", "L Key", "M Key", "N Key", "O Key", "P Key", "Q Key", "R Key", "S Key", "T Key",
    /*  78 */ "U Key", "V Key", "W Key", "X Key", "Y Key", "Z Key",
    /*  84 */ "1! Key", "2@ Key", "3# Key", "4$ Key", "5% Key", "6^ Key", "7& Key", "8* Key", "9( Key",
    /*  93 */ "0) Key", "Enter Key", "Esc Key", "Backspace Key", "Tab Key", "Space Key",
    /*  99 */ "-_ Key", "=+ Key", "[{ Key", "]} Key", "\\| Key", "K42 Key", ";: Key", "'\" Key", "`~ Key",
    /* 108 */ ",< Key", ".> Key", "/? Key", "Caps Key",
    /* 112 */ "F1 Key", "F2 Key", "F3 Key", "F4 Key", "F5 Key", "F6 Key", "F7 Key", "F8 Key", "F9 Key",
    /* 121 */ "F10 Key", "F11 Key", "F12 Key",
    /* 124 */ "PrtSc Key", "ScrLk Key", nullptr, "Pause Key", "Ins Key", "Home Key", "Pgup Key",
    /* 131 */ "Delete Key", "End Key", "Pgdn Key", "Right Key", "Left Key", "Down Key", "Up Key",
    /* 138 */ "NumLock Key", "Num / Key", "Num * Key", "Num - Key", "Num + Key", "Num Enter Key",
    /* 144 */ "Num 1 Key", "Num 2 Key", "Num 3 Key", "Num 4 Key", "Num 5 Key", "Num 6 Key", "Num 7 Key",
    /* 151 */ "Num 8 Key", "Num 9 Key", "Num 0 Key", "Num . Key", "K45 Key", "App Key",
    /* 157 */ nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    /* 164 */ nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    /* 171 */ "Ctrl_L Key", "Shift_L Key", "Alt_L Key", "Win_L Key", "Ctrl_R Key", "Shift_R Key", "Alt_R Key",
    /* 178 */ "Win_R Key", "Fn Key", nullptr, "WinLock Key", "WorkMode Key",
};
static_assert(std::size(kFunctionNames) == KFuncLast - KFuncDisable + 1, "one name per function");

// A Qt key and the HID usage of the key producing it; a row with a scan code applies only to that code.
constexpr int kAnyScanCode = -1;

struct QtKeyUsage
{
    int qtKey;
    int scanCode;
    int usage;
};

constexpr QtKeyUsage kQtKeyUsages[] = {
    { Qt::Key_Space, kAnyScanCode, 0x2C },
    { Qt::Key_Exclam, kAnyScanCode, 0x1E },
    { Qt::Key_At, kAnyScanCode, 0x1F },
    { Qt::Key_NumberSign, kAnyScanCode, 0x20 },
    { Qt::Key_Dollar, kAnyScanCode, 0x21 },
    { Qt::Key_Percent, kAnyScanCode, 0x22 },
    { Qt::Key_AsciiCircum, kAnyScanCode, 0x23 },
    { Qt::Key_Ampersand, kAnyScanCode, 0x24 },
    { Qt::Key_ParenLeft, kAnyScanCode, 0x26 },
    { Qt::Key_ParenRight, kAnyScanCode, 0x27 },
    // Digits: main block by scan codes 2..11, keypad by its own scan codes.
    { Qt::Key_1, 2, 0x1E }, { Qt::Key_2, 3, 0x1F }, { Qt::Key_3, 4, 0x20 }, { Qt::Key_4, 5, 0x21 },
    { Qt::Key_5, 6, 0x22 }, { Qt::Key_6, 7, 0x23 }, { Qt::Key_7, 8, 0x24 }, { Qt::Key_8, 9, 0x25 },
    { Qt::Key_9, 10, 0x26 }, { Qt::Key_0, 11, 0x27 },
    { Qt::Key_1, 79, 0x59 }, { Qt::Key_2, 80, 0x5A }, { Qt::Key_3, 81, 0x5B }, { Qt::Key_4, 75, 0x5C },
    { Qt::Key_5, 76, 0x5D }, { Qt::Key_6, 77, 0x5E }, { Qt::Key_7, 71, 0x5F }, { Qt::Key_8, 72, 0x60 },
    { Qt::Key_9, 73, 0x61 }, { Qt::Key_0, 82, 0x62 },
    // The keypad operators also exist in the main block.
    { Qt::Key_Asterisk, 9, 0x25 }, { Qt::Key_Asterisk, 55, 0x55 },
    { Qt::Key_Plus, 13, 0x2E }, { Qt::Key_Plus, 78, 0x57 },
    { Qt::Key_Minus, 12, 0x2D }, { Qt::Key_Minus, 74, 0x56 },
    { Qt::Key_Period, 52, 0x37 }, { Qt::Key_Period, 83, 0x63 },
    { Qt::Key_Slash, 53, 0x38 }, { Qt::Key_Slash, 0x100 + 53, 0x54 },
    // Shift+minus: only the main block produces it.
    { Qt::Key_Underscore, kAnyScanCode, 0x2D },
    { Qt::Key_Equal, kAnyScanCode, 0x2E },
    { Qt::Key_Comma, kAnyScanCode, 0x36 }, { Qt::Key_Less, kAnyScanCode, 0x36 },
    { Qt::Key_Greater, kAnyScanCode, 0x37 },
    { Qt::Key_Question, kAnyScanCode, 0x38 },
    { Qt::Key_Semicolon, kAnyScanCode, 0x33 }, { Qt::Key_Colon, kAnyScanCode, 0x33 },
    { Qt::Key_Apostrophe, kAnyScanCode, 0x34 }, { Qt::Key_QuoteDbl, kAnyScanCode, 0x34 },
    { Qt::Key_BracketLeft, kAnyScanCode, 0x2F }, { Qt::Key_BraceLeft, kAnyScanCode, 0x2F },
    { Qt::Key_BracketRight, kAnyScanCode, 0x30 }, { Qt::Key_BraceRight, kAnyScanCode, 0x30 },
    { Qt::Key_Backslash, kAnyScanCode, 0x31 }, { Qt::Key_Bar, kAnyScanCode, 0x31 },
    { Qt::Key_QuoteLeft, kAnyScanCode, 0x35 }, { Qt::Key_AsciiTilde, kAnyScanCode, 0x35 },
    { Qt::Key_Escape, kAnyScanCode, 0x29 },
    { Qt::Key_Tab, kAnyScanCode, 0x2B }, { Qt::Key_Backtab, kAnyScanCode, 0x2B },
    { Qt::Key_Backspace, kAnyScanCode, 0x2A },
    { Qt::Key_Return, kAnyScanCode, 0x28 },
    { Qt::Key_Enter, kAnyScanCode, 0x58 },
    { Qt::Key_Insert, kAnyScanCode, 0x49 }, { Qt::Key_Delete, kAnyScanCode, 0x4C },
    { Qt::Key_Pause, kAnyScanCode, 0x48 },
    { Qt::Key_Home, kAnyScanCode, 0x4A }, { Qt::Key_End, kAnyScanCode, 0x4D },
    { Qt::Key_PageUp, kAnyScanCode, 0x4B }, { Qt::Key_PageDown, kAnyScanCode, 0x4E },
    { Qt::Key_Left, kAnyScanCode, 0x50 }, { Qt::Key_Up, kAnyScanCode, 0x52 },
    { Qt::Key_Right, kAnyScanCode, 0x4F }, { Qt::Key_Down, kAnyScanCode, 0x51 },
    { Qt::Key_CapsLock, kAnyScanCode, 0x39 }, { Qt::Key_NumLock, kAnyScanCode, 0x53 },
    { Qt::Key_ScrollLock, kAnyScanCode, 0x47 },
    // Modifiers: the scan code tells left from right (0x100 marks the extended right-hand keys).
    { Qt::Key_Shift, 42, 0xE1 }, { Qt::Key_Shift, 54, 0xE5 },
    { Qt::Key_Control, 29, 0xE0 }, { Qt::Key_Control, 0x100 + 29, 0xE4 },
    { Qt::Key_Meta, 0x100 + 91, 0xE3 }, { Qt::Key_Meta, 0x100 + 92, 0xE7 },
    { Qt::Key_Alt, 56, 0xE2 }, { Qt::Key_Alt, 0x100 + 56, 0xE6 },
    // What X11 and Wayland deliver for the Win keys and, on many layouts, for right Alt.
    { Qt::Key_Super_L, 0x100 + 91, 0xE3 }, { Qt::Key_Super_R, 0x100 + 92, 0xE7 },
    { Qt::Key_AltGr, 0x100 + 56, 0xE6 },
    // Print Screen and the menu key by their own scan codes: a macro step of usage 0 would play nothing.
    { Qt::Key_Print, 0x100 + 55, 0x46 }, { Qt::Key_Menu, 0x100 + 93, 0x65 },
};

QString nameAt(const char* const* table, int size, int index)
{
    if (index < 0 || index >= size || !table[index])
        return QString();
    return QString::fromLatin1(table[index]);
}

} // namespace

QString getKeyStr(KKey type)
{
    return nameAt(kKeyNames, int(std::size(kKeyNames)), int(type));
}

QString getFuncStr(KKeyFunction func)
{
    return nameAt(kFunctionNames, int(std::size(kFunctionNames)), int(func) - KFuncDisable);
}

QString qtKeyToText(const int& qtKey)
{
    switch (qtKey) {
    case Qt::Key_Space: return QStringLiteral("Space");
    case Qt::Key_Escape: return QStringLiteral("Esc");
    case Qt::Key_Backspace: return QStringLiteral("<-");
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("Enter");
    case Qt::Key_NumLock: return QStringLiteral("Num");
    default: break;
    }
    // Printable ASCII other than the lower-case letters: the character itself.
    if ((qtKey >= 0x21 && qtKey <= 0x60) || (qtKey >= 0x7B && qtKey <= 0x7E))
        return QString(QChar(qtKey));

    static const QMetaEnum keys = QMetaEnum::fromType<Qt::Key>();
    const char* name = keys.valueToKey(qtKey);
    if (!name)
        return QString();
    const QLatin1String prefix("Key_");
    QString text = QString::fromLatin1(name);
    return text.startsWith(prefix) ? text.mid(prefix.size()) : text;
}

int qtKeyToHidUsage(const int& qtKey, const int& nativeScanCode)
{
    constexpr int kUsageA = 0x04;
    constexpr int kUsageF1 = 0x3A;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return kUsageA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return kUsageF1 + (qtKey - Qt::Key_F1);
    for (const QtKeyUsage& row : kQtKeyUsages) {
        if (row.qtKey == qtKey && (row.scanCode == kAnyScanCode || row.scanCode == nativeScanCode))
            return row.usage;
    }
    return 0;
}
