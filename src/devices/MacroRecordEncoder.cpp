#include "devices/MacroRecordEncoder.h"

#include "models/keys/MacroPlayType.h"

#include <QDebug>

namespace MacroRecordEncoder {

namespace {

bool isNullMove(const KMacroItem& item)
{
    return item.value1 == 0 && item.value2 == 0;
}

int eventSize(const KMacroItem& item)
{
    switch (KMacroItem::normalizedType(item.type)) {
    case KMacroItem::KeyboardKey:
    case KMacroItem::MouseButton:
        return kButtonEventSize;
    case KMacroItem::Pointer:
        return isNullMove(item) ? 0 : kMoveEventSize;
    default:
        return 0;
    }
}

void putWord(QByteArray& record, int offset, int value)
{
    record[offset] = char(value & 0xFF);
    record[offset + 1] = char((value >> 8) & 0xFF);
}

int repeatField(int playType, int repeat)
{
    switch (playType) {
    case MacroPlayCycles: return qBound(0, repeat, kMaxRepeat);
    case MacroPlayToggle: return 0xFFFE;
    case MacroPlayWhilePressed: return 0xFFFF;
    default: return -1;
    }
}

} // namespace

quint8 mouseButtonCode(int button)
{
    switch (button) {
    case 1: return 0xF0;  // left
    case 2: return 0xF2;  // middle
    case 3: return 0xF1;  // right
    default: return 0;
    }
}

int encodedSize(const QVector<KMacroItem>& list)
{
    int size = kHeaderSize;
    for (const KMacroItem& item : list)
        size += eventSize(item);
    return size;
}

QByteArray encode(const Format& format, bool ignoreDelay, int playType, const QVector<KMacroItem>& list, int repeat)
{
    const int repeatWord = repeatField(playType, repeat);
    if (repeatWord < 0) {
        qDebug() << "[Error] macro play type" << playType;
        return QByteArray();
    }
    const int size = encodedSize(list);
    if (size > format.recordSize) {
        qDebug() << "[Error] macro needs" << size << "bytes, a record holds" << format.recordSize;
        return QByteArray();
    }

    QByteArray record(size, '\0');
    putWord(record, 2, repeatWord);

    int next = kHeaderSize;  // where the next event goes
    int last = -1;           // start of the last event written; -1 before the first
    int lastDelay = 0;       // the wait after the last event so far
    bool lastWasMove = false;
    bool released = false;   // the last key or button event was a release

    for (const KMacroItem& item : list) {
        const int type = KMacroItem::normalizedType(item.type);
        switch (type) {
        case KMacroItem::KeyboardKey:
        case KMacroItem::MouseButton: {
            const bool isKey = type == KMacroItem::KeyboardKey;
            const quint8 code = isKey ? quint8(item.value1) : mouseButtonCode(item.value1);
            if (isKey && (item.value1 < 0 || item.value1 > 0xFF)) {
                qDebug() << "[Error] macro event value out of range" << type << item.value1;
                return QByteArray();
            }
            last = next;
            next += kButtonEventSize;
            putWord(record, last, item.isUp ? 0 : 1);
            record[last + 2] = char(code);
            released = item.isUp;
            lastDelay = 0;
            lastWasMove = false;
            break;
        }
        case KMacroItem::Delay: {
            if (last < 0)
                break;
            const int delay = ignoreDelay ? format.ignoredDelayMs : qBound(format.minDelayMs, item.value1, kMaxDelayMs);
            lastDelay = format.delaysAddUp ? qMin(lastDelay + delay, kMaxDelayMs) : delay;
            putWord(record, last, lastDelay * 2 + (released ? 0 : 1));
            lastWasMove = false;
            break;
        }
        case KMacroItem::Pointer: {
            if (isNullMove(item))
                break;
            // The vertical distance goes out negated; widened first so that no stored value overflows.
            const int x = int(qBound<qint64>(kMoveMin, item.value1, kMoveMax));
            const int y = int(qBound<qint64>(kMoveMin, -qint64(item.value2), kMoveMax));
            last = next;
            next += kMoveEventSize;
            record[last + 2] = char(kMoveCode);
            record[last + 3] = char(format.moveHighBits ? format.moveHighBits(x, y)
                                                        : (((x >> 8) & 0x0F) << 4) | ((y >> 8) & 0x0F));
            record[last + 4] = char(x & 0xFF);
            record[last + 5] = char(y & 0xFF);
            lastDelay = 0;
            lastWasMove = true;
            break;
        }
        default:
            qDebug() << "[Error] macro event type" << item.type;
            return QByteArray();
        }
    }
    if (lastWasMove)
        putWord(record, last, 3);

    putWord(record, 0, next);
    return record;
}

} // namespace MacroRecordEncoder
