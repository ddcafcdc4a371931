#include "devices/mouse/twocollection/EdrisMacro.h"

#include "devices/mouse/twocollection/EdrisProtocol.h"

using namespace Edris;

namespace EdrisMacro {

namespace {

// One event with the wait that follows it.
struct Event {
    enum Kind { Press, Move } kind = Press;
    quint8 code = 0;
    bool up = false;
    int dx = 0;
    int sentY = 0;
    qint64 wait = 0;
};

void append(QVector<EdrisMacroItem>& out, int first, int second)
{
    out.append(EdrisMacroItem{quint8(first), quint8(second)});
}

} // namespace

bool encode(const QVector<KMacroItem>& items, bool ignoreDelays, int repeat, EdrisMacroStruct* record)
{
    // The events, each with the sum of the delays that follow it.
    QVector<Event> events;
    for (const KMacroItem& item : items) {
        switch (KMacroItem::normalizedType(item.type)) {
        case KMacroItem::KeyboardKey:
        case KMacroItem::MouseButton: {
            const bool key = KMacroItem::normalizedType(item.type) == KMacroItem::KeyboardKey;
            if (key && (item.value1 < 0 || item.value1 > 0xFF))
                return false;
            Event e;
            e.code = key ? quint8(item.value1) : mouseButtonMacroCode(item.value1);
            e.up = item.isUp;
            events.append(e);
            break;
        }
        case KMacroItem::Pointer: {
            if (item.value1 == 0 && item.value2 == 0)
                break;
            Event e;
            e.kind = Event::Move;
            e.dx = qBound(kMoveMin, item.value1, kMoveMax);
            e.sentY = qBound(kMoveMin, -item.value2, kMoveMax);
            events.append(e);
            break;
        }
        case KMacroItem::Delay:
            if (!events.isEmpty() && item.value1 > 0)
                events.last().wait += item.value1;
            break;
        default:
            break;
        }
    }

    QVector<EdrisMacroItem> out;
    for (const Event& e : events) {
        if (e.kind == Event::Move) {
            append(out, kEscape, kEscapeMove);
            append(out, e.dx & 0xFF, e.sentY & 0xFF);
            if (!ignoreDelays && e.wait > 0) {
                const int time = int(qMin<qint64>(e.wait, kMaxMoveTime));
                append(out, kEscape, kEscapeMoveTime);
                append(out, time >> 8, time & 0xFF);
            }
            continue;
        }
        const int up = e.up ? kUpFlag : 0;
        const qint64 wait = ignoreDelays || e.wait == 0 ? 1 : e.wait;
        if (wait < kShortDelayLimit) {
            append(out, int(wait) + up, e.code);
            continue;
        }
        const int hundreds = int(qMin<qint64>(wait / kLongDelayUnit, kMaxLongDelayCount));
        int rest = int(wait % kLongDelayUnit);
        if (rest == 0)
            rest = 1;
        append(out, kEscape, kEscapeLongDelay);
        append(out, hundreds >> 8, hundreds & 0xFF);
        append(out, rest + up, e.code);
    }
    append(out, kEscape, 0);
    if (out.size() > kMaxMacroItems)
        return false;
    const int count = qBound(0, repeat, 0xFFFF);
    record->header[0] = quint8(count >> 8);
    record->header[1] = quint8(count & 0xFF);
    record->items = out;
    return true;
}

QByteArray recordBytes(const EdrisMacroStruct& record)
{
    if (record.items.size() > kMaxMacroItems)
        return QByteArray();
    QByteArray bytes(kMacroRecordSize, '\0');
    bytes[0] = char(record.header[0]);
    bytes[1] = char(record.header[1]);
    for (int i = 0; i < record.items.size(); ++i) {
        bytes[kMacroHeaderSize + kMacroItemSize * i] = char(record.items.at(i).first);
        bytes[kMacroHeaderSize + kMacroItemSize * i + 1] = char(record.items.at(i).second);
    }
    return bytes;
}

} // namespace EdrisMacro
