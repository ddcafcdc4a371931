#include "sim/keyboard/SimKeyFunction.h"

#include <QStringList>

namespace {

enum CodeType : quint8 {
    TypeKey = 0,
    TypeCombination = 2,
    TypeMouse = 3,
    TypeConsumer = 4,
    TypeMacro = 5,
    TypeDisabled = 7,
    TypeFn = 0xA0,
};

// Code byte of the type-0xA0 keys.
enum BoardKey : quint8 {
    BoardFn = 1,
    BoardWinLock = 4,
    BoardWorkMode = 0x10,
};

// Byte order of an entry: type, parameter 1 (always 0 on this keyboard), code, parameter 2.
constexpr int kTypeByte = 0;
constexpr int kParam1Byte = 1;
constexpr int kCodeByte = 2;
constexpr int kParam2Byte = 3;

QByteArray entry(quint8 type, quint8 code, quint8 param2)
{
    QByteArray bytes(4, '\0');
    bytes[kTypeByte] = char(type);
    bytes[kCodeByte] = char(code);
    bytes[kParam2Byte] = char(param2);
    return bytes;
}

QString hexByte(int value)
{
    return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

} // namespace

SimKeyFunction SimKeyFunction::none()
{
    return SimKeyFunction();
}

SimKeyFunction SimKeyFunction::key(int usage)
{
    if (usage == 0)
        return none();
    SimKeyFunction f;
    f.m_kind = Kind::Key;
    f.m_usage = usage & 0xFF;
    return f;
}

SimKeyFunction SimKeyFunction::combination(int modifiers, int usage)
{
    SimKeyFunction f;
    f.m_kind = Kind::Combination;
    f.m_modifiers = modifiers & 0xFF;
    f.m_usage = usage & 0xFF;
    return f;
}

SimKeyFunction SimKeyFunction::mouseButton(int buttons)
{
    SimKeyFunction f;
    f.m_kind = Kind::MouseButton;
    f.m_buttons = buttons & 0xFF;
    return f;
}

SimKeyFunction SimKeyFunction::consumer(int usage)
{
    SimKeyFunction f;
    f.m_kind = Kind::Consumer;
    f.m_consumer = usage & 0xFFFF;
    return f;
}

SimKeyFunction SimKeyFunction::macro(int slot)
{
    SimKeyFunction f;
    f.m_kind = Kind::Macro;
    f.m_macroSlot = slot & 0xFF;
    return f;
}

SimKeyFunction SimKeyFunction::disabled()
{
    SimKeyFunction f;
    f.m_kind = Kind::Disabled;
    return f;
}

SimKeyFunction SimKeyFunction::fn()
{
    SimKeyFunction f;
    f.m_kind = Kind::Fn;
    return f;
}

SimKeyFunction SimKeyFunction::winLock()
{
    SimKeyFunction f;
    f.m_kind = Kind::WinLock;
    return f;
}

SimKeyFunction SimKeyFunction::workMode()
{
    SimKeyFunction f;
    f.m_kind = Kind::WorkMode;
    return f;
}

SimKeyFunction SimKeyFunction::decode(const QByteArray& code)
{
    SimKeyFunction unknown;
    unknown.m_kind = Kind::Unknown;
    unknown.m_raw = code;
    if (code.size() != 4)
        return unknown;

    const quint8 type = quint8(code[kTypeByte]);
    const quint8 param1 = quint8(code[kParam1Byte]);
    const quint8 value = quint8(code[kCodeByte]);
    const quint8 param2 = quint8(code[kParam2Byte]);
    if (param1 != 0)
        return unknown;

    switch (type) {
    case TypeKey:
        return param2 == 0 ? key(value) : unknown;
    case TypeCombination:
        return combination(value, param2);
    case TypeMouse:
        return param2 == 0 ? mouseButton(value) : unknown;
    case TypeConsumer:
        return consumer(value << 8 | param2);
    case TypeMacro:
        return param2 == 0 ? macro(value) : unknown;
    case TypeDisabled:
        return value == 0 && param2 == 0 ? disabled() : unknown;
    case TypeFn:
        if (param2 != 0)
            return unknown;
        switch (value) {
        case BoardFn: return fn();
        case BoardWinLock: return winLock();
        case BoardWorkMode: return workMode();
        default: return unknown;
        }
    default:
        return unknown;
    }
}

QByteArray SimKeyFunction::encode() const
{
    switch (m_kind) {
    case Kind::None:
        return QByteArray(4, '\0');
    case Kind::Key:
        return entry(TypeKey, quint8(m_usage), 0);
    case Kind::Combination:
        return entry(TypeCombination, quint8(m_modifiers), quint8(m_usage));
    case Kind::MouseButton:
        return entry(TypeMouse, quint8(m_buttons), 0);
    case Kind::Consumer:
        return entry(TypeConsumer, quint8(m_consumer >> 8), quint8(m_consumer));
    case Kind::Macro:
        return entry(TypeMacro, quint8(m_macroSlot), 0);
    case Kind::Disabled:
        return entry(TypeDisabled, 0, 0);
    case Kind::Fn:
        return entry(TypeFn, BoardFn, 0);
    case Kind::WinLock:
        return entry(TypeFn, BoardWinLock, 0);
    case Kind::WorkMode:
        return entry(TypeFn, BoardWorkMode, 0);
    case Kind::Unknown:
        break;
    }
    return m_raw;
}

QString SimKeyFunction::toString() const
{
    switch (m_kind) {
    case Kind::None:
        return QStringLiteral("none");
    case Kind::Key:
        return QStringLiteral("key %1").arg(hexByte(m_usage));
    case Kind::Combination: {
        QStringList parts;
        if (m_modifiers & Ctrl)
            parts << QStringLiteral("Ctrl");
        if (m_modifiers & Shift)
            parts << QStringLiteral("Shift");
        if (m_modifiers & Alt)
            parts << QStringLiteral("Alt");
        if (m_modifiers & Win)
            parts << QStringLiteral("Win");
        if (m_modifiers & ~0x0F)
            parts << QStringLiteral("mods %1").arg(hexByte(m_modifiers));
        parts << hexByte(m_usage);
        return QStringLiteral("combination ") + parts.join(QLatin1Char('+'));
    }
    case Kind::MouseButton:
        return QStringLiteral("mouse buttons %1").arg(hexByte(m_buttons));
    case Kind::Consumer:
        return QStringLiteral("consumer 0x%1").arg(m_consumer, 4, 16, QLatin1Char('0'));
    case Kind::Macro:
        return QStringLiteral("macro slot %1").arg(m_macroSlot);
    case Kind::Disabled:
        return QStringLiteral("disabled");
    case Kind::Fn:
        return QStringLiteral("Fn");
    case Kind::WinLock:
        return QStringLiteral("WinLock");
    case Kind::WorkMode:
        return QStringLiteral("WorkMode");
    case Kind::Unknown:
        break;
    }
    return QStringLiteral("unknown [%1]").arg(QString::fromLatin1(m_raw.toHex(' ')));
}

bool SimKeyFunction::operator==(const SimKeyFunction& other) const
{
    if (m_kind != other.m_kind)
        return false;
    if (m_kind == Kind::Unknown)
        return m_raw == other.m_raw;
    return m_usage == other.m_usage && m_modifiers == other.m_modifiers && m_buttons == other.m_buttons
        && m_consumer == other.m_consumer && m_macroSlot == other.m_macroSlot;
}

char* toString(const SimKeyFunction& function)
{
    return qstrdup(function.toString().toUtf8().constData());
}
