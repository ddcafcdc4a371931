#pragma once

// What one 4-byte entry of a register mouse's key table makes its button do, as the mouse reads it. Tests
// compare these rather than bytes, so a failure says "DPI down" or "combination 0x03+0x04".

#include <QByteArray>
#include <QString>

class SimMouseButton
{
public:
    enum class Kind {
        Key,          // type 0: a keyboard usage (0: sends nothing)
        Combination,  // type 2: modifier mask and usage
        Buttons,      // type 3: a button mask, parameter 0
        Fire,         // type 3 left button with parameter 1, or type 9 code 2
        Consumer,     // type 4: consumer usage in the last byte
        Macro,        // type 5: the macro page of a slot
        Disabled,     // type 7
        Dpi,          // type 8: 3 cycle, 5 up, 6 down
        Sniper,       // type 9 code 1
        MacroSwitch,  // type 9 code 3
        Roller,       // FF FF FF FF: the wheel's own step
        Unknown,
    };
    enum Button { Left = 1, Right = 2, Middle = 4, Back = 8, Forward = 16 };
    enum DpiStep { DpiCycle = 3, DpiUp = 5, DpiDown = 6 };

    static SimMouseButton key(int usage);
    static SimMouseButton combination(int modifiers, int usage);
    static SimMouseButton buttons(int mask);
    static SimMouseButton fire();
    static SimMouseButton consumer(int usage);
    static SimMouseButton macro(int slot);
    static SimMouseButton disabled();
    static SimMouseButton dpi(DpiStep step);
    static SimMouseButton sniper();
    static SimMouseButton macroSwitch();
    static SimMouseButton roller();

    // Reads 4 bytes (fewer give Unknown).
    static SimMouseButton decode(const QByteArray& code);

    Kind kind() const { return m_kind; }
    int value() const { return m_value; }
    int usage() const { return m_usage; }
    QString toString() const;

    bool operator==(const SimMouseButton& other) const;
    bool operator!=(const SimMouseButton& other) const { return !(*this == other); }

private:
    Kind m_kind = Kind::Unknown;
    int m_value = 0;  // mask, modifiers, slot, DPI step, consumer usage
    int m_usage = 0;  // keyboard usage of a key or combination
    QByteArray m_raw;
};

char* toString(const SimMouseButton& button);
