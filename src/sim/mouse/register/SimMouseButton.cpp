#include "sim/mouse/register/SimMouseButton.h"

namespace {

SimMouseButton::Kind kindOf(quint8 type, quint8 code, quint8 last)
{
    using K = SimMouseButton::Kind;
    switch (type) {
    case 0x00: return K::Key;
    case 0x02: return K::Combination;
    case 0x03:
        // The left button's last byte tells fire (1) from the plain button (0).
        if (code == SimMouseButton::Left)
            return last == 0 ? K::Buttons : last == 1 ? K::Fire : K::Unknown;
        return K::Buttons;
    case 0x04: return K::Consumer;
    case 0x05: return K::Macro;
    case 0x07: return K::Disabled;
    case 0x08: return code == 3 || code == 5 || code == 6 ? K::Dpi : K::Unknown;
    case 0x09: return code == 1 ? K::Sniper : code == 2 ? K::Fire : code == 3 ? K::MacroSwitch : K::Unknown;
    default: return K::Unknown;
    }
}

// Built through decode, so that equal meanings compare equal whatever made them.
SimMouseButton make(SimMouseButton::Kind kind, int value = 0, int usage = 0)
{
    using K = SimMouseButton::Kind;
    QByteArray bytes(4, '\0');
    auto set = [&bytes](int type, int code, int last) {
        bytes[0] = char(type);
        bytes[2] = char(code);
        bytes[3] = char(last);
    };
    switch (kind) {
    case K::Key: set(0, usage, 0); break;
    case K::Combination: set(2, value, usage); break;
    case K::Buttons: set(3, value, 0); break;
    case K::Fire: set(3, SimMouseButton::Left, 1); break;
    case K::Consumer: set(4, 0, value); break;
    case K::Macro: set(5, value, 0); break;
    case K::Disabled: set(7, 0, 0); break;
    case K::Dpi: set(8, value, 0); break;
    case K::Sniper: set(9, 1, 0); break;
    case K::MacroSwitch: set(9, 3, 0); break;
    case K::Roller: bytes.fill(char(0xFF)); break;
    case K::Unknown: set(0xEE, 0, 0); break;
    }
    return SimMouseButton::decode(bytes);
}

} // namespace

SimMouseButton SimMouseButton::key(int usage) { return make(Kind::Key, 0, usage); }
SimMouseButton SimMouseButton::combination(int modifiers, int usage) { return make(Kind::Combination, modifiers, usage); }
SimMouseButton SimMouseButton::buttons(int mask) { return make(Kind::Buttons, mask); }
SimMouseButton SimMouseButton::fire() { return make(Kind::Fire); }
SimMouseButton SimMouseButton::consumer(int usage) { return make(Kind::Consumer, usage); }
SimMouseButton SimMouseButton::macro(int slot) { return make(Kind::Macro, slot); }
SimMouseButton SimMouseButton::disabled() { return make(Kind::Disabled); }
SimMouseButton SimMouseButton::dpi(DpiStep step) { return make(Kind::Dpi, step); }
SimMouseButton SimMouseButton::sniper() { return make(Kind::Sniper); }
SimMouseButton SimMouseButton::macroSwitch() { return make(Kind::MacroSwitch); }
SimMouseButton SimMouseButton::roller() { return make(Kind::Roller); }

SimMouseButton SimMouseButton::decode(const QByteArray& code)
{
    SimMouseButton b;
    if (code.size() < 4) {
        b.m_raw = code;
        return b;
    }
    b.m_raw = code.left(4);
    const quint8 type = quint8(code[0]);
    const quint8 value = quint8(code[2]);
    const quint8 last = quint8(code[3]);
    if (b.m_raw == QByteArray(4, char(0xFF))) {
        b.m_kind = Kind::Roller;
        return b;
    }
    b.m_kind = kindOf(type, value, last);
    switch (b.m_kind) {
    case Kind::Key: b.m_usage = value; break;
    case Kind::Combination: b.m_value = value; b.m_usage = last; break;
    case Kind::Buttons:
    case Kind::Macro:
    case Kind::Dpi: b.m_value = value; break;
    case Kind::Consumer: b.m_value = last; break;
    default: break;
    }
    return b;
}

QString SimMouseButton::toString() const
{
    auto hex = [](int v) { return QStringLiteral("0x%1").arg(v, 2, 16, QLatin1Char('0')); };
    switch (m_kind) {
    case Kind::Key: return m_usage ? QStringLiteral("key %1").arg(hex(m_usage)) : QStringLiteral("nothing");
    case Kind::Combination: return QStringLiteral("combination %1+%2").arg(hex(m_value), hex(m_usage));
    case Kind::Buttons: return QStringLiteral("buttons %1").arg(hex(m_value));
    case Kind::Fire: return QStringLiteral("fire");
    case Kind::Consumer: return QStringLiteral("consumer %1").arg(hex(m_value));
    case Kind::Macro: return QStringLiteral("macro slot %1").arg(m_value);
    case Kind::Disabled: return QStringLiteral("disabled");
    case Kind::Dpi:
        return m_value == DpiCycle ? QStringLiteral("DPI cycle")
             : m_value == DpiUp    ? QStringLiteral("DPI up")
                                   : QStringLiteral("DPI down");
    case Kind::Sniper: return QStringLiteral("sniper");
    case Kind::MacroSwitch: return QStringLiteral("macro switch");
    case Kind::Roller: return QStringLiteral("roller");
    case Kind::Unknown: break;
    }
    return QStringLiteral("unknown %1").arg(QString::fromLatin1(m_raw.toHex(' ')));
}

bool SimMouseButton::operator==(const SimMouseButton& other) const
{
    if (m_kind != other.m_kind)
        return false;
    if (m_kind == Kind::Unknown)
        return m_raw == other.m_raw;
    return m_value == other.m_value && m_usage == other.m_usage;
}

char* toString(const SimMouseButton& button)
{
    return qstrdup(button.toString().toUtf8().constData());
}
