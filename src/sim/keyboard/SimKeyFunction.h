#pragma once

// What one 4-byte entry of the keyboard's key table makes the key do, as the keyboard's firmware reads it.
// Tests compare these instead of raw bytes, so a failure message says "Ctrl+Alt+0x04" rather than four
// numbers.

#include <QByteArray>
#include <QString>

class SimKeyFunction
{
public:
    enum class Kind {
        None,         // type 0 with usage 0: the key sends nothing
        Key,          // type 0: one keyboard usage
        Combination,  // type 2: modifiers plus a usage
        MouseButton,  // type 3: a button mask
        Consumer,     // type 4: a consumer-control usage
        Macro,        // type 5: plays a macro record
        Disabled,     // type 7
        Fn,           // type 0xA0, code 1: the Fn layer key
        WinLock,      // type 0xA0, code 4: locks the Windows keys (RGB model)
        WorkMode,     // type 0xA0, code 0x10: switches the work mode (RGB model)
        Unknown,      // anything the firmware does not understand
    };

    enum Modifier { Ctrl = 1, Shift = 2, Alt = 4, Win = 8 };
    enum Button { Left = 1, Right = 2, Middle = 4 };

    SimKeyFunction() = default;

    static SimKeyFunction none();
    static SimKeyFunction key(int usage);
    static SimKeyFunction combination(int modifiers, int usage);
    static SimKeyFunction mouseButton(int buttons);
    static SimKeyFunction consumer(int usage);
    static SimKeyFunction macro(int slot);
    static SimKeyFunction disabled();
    static SimKeyFunction fn();
    static SimKeyFunction winLock();
    static SimKeyFunction workMode();

    // Reads 4 bytes (fewer give Unknown).
    static SimKeyFunction decode(const QByteArray& code);
    // The 4 bytes the firmware stores for this function.
    QByteArray encode() const;

    Kind kind() const { return m_kind; }
    int usage() const { return m_usage; }
    int modifiers() const { return m_modifiers; }
    int buttons() const { return m_buttons; }
    int consumerUsage() const { return m_consumer; }
    int macroSlot() const { return m_macroSlot; }

    QString toString() const;

    bool operator==(const SimKeyFunction& other) const;
    bool operator!=(const SimKeyFunction& other) const { return !(*this == other); }

private:
    Kind m_kind = Kind::None;
    int m_usage = 0;
    int m_modifiers = 0;
    int m_buttons = 0;
    int m_consumer = 0;
    int m_macroSlot = -1;
    QByteArray m_raw;  // kept for Unknown, so the message shows what was stored
};

// Lets QCOMPARE print the functions it compares.
char* toString(const SimKeyFunction& function);
