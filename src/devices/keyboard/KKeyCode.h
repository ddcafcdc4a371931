#pragma once

#include <QtGlobal>

#include <array>

// The 4-byte key code of every device key table. The device stores the bytes in the order
// [type, parameter 1, code, parameter 2]; the constructor takes them in the order callers think of them.
struct KKeyCode
{
    quint8 type = 0;
    quint8 param1 = 0;
    quint8 code = 0;
    quint8 param2 = 0;

    constexpr KKeyCode() = default;
    constexpr KKeyCode(quint8 keyType, quint8 keyCode, quint8 parameter1 = 0, quint8 parameter2 = 0)
        : type(keyType), param1(parameter1), code(keyCode), param2(parameter2)
    {
    }

    // Type byte values.
    static constexpr quint8 kKeyboard = 0x00;
    static constexpr quint8 kCombination = 0x02;
    static constexpr quint8 kMouse = 0x03;
    static constexpr quint8 kConsumer = 0x04;
    static constexpr quint8 kMacro = 0x05;
    static constexpr quint8 kDisabled = 0x07;
    static constexpr quint8 kKeyboardFn = 0xA0;

    std::array<quint8, 4> bytes() const { return {type, param1, code, param2}; }
    static KKeyCode fromBytes(const quint8* b) { return KKeyCode(b[0], b[2], b[1], b[3]); }

    constexpr bool operator==(const KKeyCode& o) const
    {
        return type == o.type && param1 == o.param1 && code == o.code && param2 == o.param2;
    }
    constexpr bool operator!=(const KKeyCode& o) const { return !(*this == o); }
};
static_assert(sizeof(KKeyCode) == 4, "a key code is four bytes on the wire");
