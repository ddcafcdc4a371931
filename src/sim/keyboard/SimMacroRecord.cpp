#include "sim/keyboard/SimMacroRecord.h"

#include <QStringList>

namespace {

quint8 byteAt(const QByteArray& bytes, int offset)
{
    return offset < bytes.size() ? quint8(bytes[offset]) : 0;
}

quint16 wordAt(const QByteArray& bytes, int offset)
{
    return quint16(byteAt(bytes, offset) | byteAt(bytes, offset + 1) << 8);
}

// Moves carry 12-bit two's complement distances.
int signExtend12(int value)
{
    value &= 0xFFF;
    return value & 0x800 ? value - 0x1000 : value;
}

int signExtend11(int value)
{
    value &= 0x7FF;
    return value & 0x400 ? value - 0x800 : value;
}

} // namespace

SimMacroEvent SimMacroEvent::key(int usage, bool press, int delayMs)
{
    SimMacroEvent e;
    e.kind = Kind::Key;
    e.usage = usage;
    e.press = press;
    e.delayMs = delayMs;
    return e;
}

SimMacroEvent SimMacroEvent::mouseButton(int button, bool press, int delayMs)
{
    SimMacroEvent e;
    e.kind = Kind::MouseButton;
    e.button = button;
    e.press = press;
    e.delayMs = delayMs;
    return e;
}

SimMacroEvent SimMacroEvent::move(int dx, int dy, int delayMs)
{
    SimMacroEvent e;
    e.kind = Kind::Move;
    e.dx = dx;
    e.dy = dy;
    e.delayMs = delayMs;
    return e;
}

QString SimMacroEvent::toString() const
{
    QString text;
    switch (kind) {
    case Kind::Key:
        text = QStringLiteral("key 0x%1 %2").arg(usage, 2, 16, QLatin1Char('0'))
                   .arg(press ? QStringLiteral("down") : QStringLiteral("up"));
        break;
    case Kind::MouseButton: {
        static const char* const names[] = {"?", "left", "middle", "right"};
        const char* name = button >= 1 && button <= 3 ? names[button] : names[0];
        text = QStringLiteral("button %1 %2").arg(QLatin1String(name))
                   .arg(press ? QStringLiteral("down") : QStringLiteral("up"));
        break;
    }
    case Kind::Move:
        text = QStringLiteral("move %1,%2").arg(dx).arg(dy);
        break;
    }
    if (delayMs)
        text += QStringLiteral(" +%1ms").arg(delayMs);
    return text;
}

bool SimMacroEvent::operator==(const SimMacroEvent& other) const
{
    if (kind != other.kind || delayMs != other.delayMs)
        return false;
    switch (kind) {
    case Kind::Key:
        return usage == other.usage && press == other.press;
    case Kind::MouseButton:
        return button == other.button && press == other.press;
    case Kind::Move:
        return dx == other.dx && dy == other.dy;
    }
    return false;
}

SimMacroRecord SimMacroRecord::decode(const QByteArray& record, int recordSize, MoveFormat moveFormat)
{
    SimMacroRecord result;
    result.endOffset = wordAt(record, 0);
    const quint16 repeat = wordAt(record, 2);
    if (repeat == kRepeatWhileHeld) {
        result.playType = WhileHeld;
    } else if (repeat == kRepeatUntilPressed) {
        result.playType = UntilPressedAgain;
    } else {
        result.playType = RepeatCount;
        result.repeatCount = repeat;
    }

    if (result.endOffset < kHeaderSize || result.endOffset > recordSize) {
        result.error = QStringLiteral("end offset %1 outside the record").arg(result.endOffset);
        return result;
    }

    int offset = kHeaderSize;
    while (offset < result.endOffset) {
        if (offset + kKeyEventSize > result.endOffset) {
            result.error = QStringLiteral("event at %1 cut by the end offset %2").arg(offset).arg(result.endOffset);
            return result;
        }
        const quint16 word = wordAt(record, offset);
        const quint8 code = byteAt(record, offset + 2);
        SimMacroEvent event;
        event.press = word & 1;
        event.delayMs = word >> 1;
        int size = kKeyEventSize;
        switch (code) {
        case 0:
            result.error = QStringLiteral("empty event at %1").arg(offset);
            return result;
        case kCodeLeft:
            event.kind = SimMacroEvent::Kind::MouseButton;
            event.button = SimMacroEvent::Left;
            break;
        case kCodeMiddle:
            event.kind = SimMacroEvent::Kind::MouseButton;
            event.button = SimMacroEvent::Middle;
            break;
        case kCodeRight:
            event.kind = SimMacroEvent::Kind::MouseButton;
            event.button = SimMacroEvent::Right;
            break;
        case kCodeMove: {
            size = kMoveEventSize;
            if (offset + size > result.endOffset) {
                result.error = QStringLiteral("move at %1 cut by the end offset %2").arg(offset).arg(result.endOffset);
                return result;
            }
            const quint8 high = byteAt(record, offset + 3);
            event.kind = SimMacroEvent::Kind::Move;
            event.press = false;
            event.dx = signExtend12((high >> 4) << 8 | byteAt(record, offset + 4));
            if (moveFormat == MoveFormat::FullSizeRgb) {
                if (!(high & 1)) {
                    result.error = QStringLiteral("move at %1 without its marker bit").arg(offset);
                    return result;
                }
                event.dy = -signExtend11(((high >> 1) & 0x07) << 8 | byteAt(record, offset + 5));
            } else {
                event.dy = -signExtend12((high & 0x0F) << 8 | byteAt(record, offset + 5));
            }
            break;
        }
        default:
            event.kind = SimMacroEvent::Kind::Key;
            event.usage = code;
            break;
        }
        result.events.append(event);
        offset += size;
    }
    result.valid = true;
    return result;
}

QString SimMacroRecord::toString() const
{
    QStringList parts;
    for (const SimMacroEvent& event : events)
        parts << event.toString();
    QString head = playType == RepeatCount ? QStringLiteral("repeat %1").arg(repeatCount)
                 : playType == UntilPressedAgain ? QStringLiteral("until pressed again")
                                                 : QStringLiteral("while held");
    QString text = QStringLiteral("[%1, end %2] %3").arg(head).arg(endOffset).arg(parts.join(QStringLiteral(", ")));
    if (!valid)
        text += QStringLiteral(" (invalid: %1)").arg(error);
    return text;
}

char* toString(const SimMacroEvent& event)
{
    return qstrdup(event.toString().toUtf8().constData());
}
