#include "devices/mouse/featurereport/DunmorMacro.h"

#include "devices/mouse/featurereport/DunmorProtocol.h"

using namespace Dunmor;

namespace DunmorMacro {

namespace {

// The writer: i names the current record (bytes i + 1 and i + 2), as the mouse counts.
class Writer
{
public:
    explicit Writer(QByteArray* buffer)
        : m_buffer(buffer)
    {
    }

    bool fits() const { return m_fits; }

    // Moves to a fresh record when the current one holds a code.
    void freshRecord()
    {
        if (m_held) {
            m_i += 2;
            m_held = false;
        }
    }
    void setState(quint8 state) { put(m_i + 1, state); }
    void setCode(quint8 code)
    {
        put(m_i + 2, code);
        m_held = true;
    }
    // A delay's state goes into the current record, then the next record starts.
    void shortDelay(quint8 state)
    {
        put(m_i + 1, state);
        m_i += 2;
        m_held = false;
    }
    void longDelay(quint8 state, quint8 unit, int count)
    {
        put(m_i + 1, state);
        put(m_i + 3, 0);
        put(m_i + 4, unit);
        put(m_i + 5, quint8(count >> 8));
        put(m_i + 6, quint8(count & 0xFF));
        m_i += 6;
        m_held = false;
    }
    // A wheel turn: the direction in the current record's code, the amount in the next record.
    void wheel(quint8 code, int amount)
    {
        freshRecord();
        setCode(code);
        m_i += 2;
        const int magnitude = qMin(amount < 0 ? -amount : amount, kMaxWheelAmount);
        put(m_i + 1, quint8(magnitude / 100));
        put(m_i + 2, quint8((((magnitude / 10) % 10) << 4) | (magnitude % 10)));
        m_i += 2;
        m_held = false;
    }

private:
    void put(int at, quint8 value)
    {
        if (at > kLastEventByte) {
            m_fits = false;
            return;
        }
        (*m_buffer)[at] = char(value);
    }

    QByteArray* m_buffer;
    int m_i = 1;
    bool m_held = false;
    bool m_fits = true;
};

} // namespace

QByteArray encode(Dialect dialect, bool ignoreDelay, MacroPlayType playType, const QVector<KMacroItem>& items,
                  int repeat)
{
    QByteArray buffer(kMacroBufferSize, '\0');
    switch (playType) {
    case MacroPlayCycles:
        if (dialect == Dialect::Kinloch) {
            buffer[1] = char(qBound(1, repeat, kKinlochMaxRepeat));
        } else {
            const int count = qBound(1, repeat, kMaxRepeat);
            buffer[0] = char(count >> 8);
            buffer[1] = char(count & 0xFF);
        }
        break;
    case MacroPlayToggle:
        buffer[0] = char(kPlayToggle[0]);
        buffer[1] = char(kPlayToggle[1]);
        break;
    case MacroPlayWhilePressed:
        buffer[0] = char(kPlayWhilePressed[0]);
        buffer[1] = char(kPlayWhilePressed[1]);
        break;
    default:
        return QByteArray();
    }

    Writer w(&buffer);
    bool keyUp = false;   // the last key or button event's release flag
    for (const KMacroItem& item : items) {
        switch (KMacroItem::normalizedType(item.type)) {
        case KMacroItem::KeyboardKey:
            w.freshRecord();
            w.setState(item.isUp ? kStateRelease | kStateNoDelay : kStateNoDelay);
            w.setCode(quint8(item.value1 & 0xFF));
            keyUp = item.isUp;
            break;
        case KMacroItem::MouseButton: {
            if (item.value1 < 1 || item.value1 > 3)
                break;
            const quint8 code = kMacroButton[item.value1 - 1];
            w.freshRecord();
            if (item.isUp)
                w.setState(kStateRelease | kStateNoDelay);
            w.setCode(code);
            keyUp = item.isUp;
            break;
        }
        case KMacroItem::Delay: {
            const int d = ignoreDelay ? 1 : item.value1;
            const quint8 flag = keyUp ? kStateRelease : 0;
            if (d < 0)
                break;
            if (d <= kShortDelayMaxMs) {
                w.shortDelay(quint8(flag | (d / 10 + 1)));
                break;
            }
            for (const DelayUnit& unit : kDelayUnits) {
                if (d <= unit.maxDelay) {
                    w.longDelay(quint8(flag | kStateNoDelay), unit.unit, d / unit.ms);
                    break;
                }
            }
            break;
        }
        case KMacroItem::Pointer: {
            const int vertical = item.value1;
            const int horizontal = item.value2;
            const bool kinloch = dialect == Dialect::Kinloch;
            if (vertical != 0)
                w.wheel(vertical > 0 ? (kinloch ? kWheelDown : kWheelUp) : (kinloch ? kWheelUp : kWheelDown),
                        vertical);
            if (horizontal != 0)
                w.wheel(horizontal > 0 ? kWheelRight : kWheelLeft, horizontal);
            break;
        }
        default:
            break;
        }
        if (!w.fits())
            return QByteArray();
    }
    return buffer;
}

} // namespace DunmorMacro
