#include "devices/keyboard/Quenby8aMacroRecord.h"

#include "models/keys/MacroPlayType.h"

#include <QDebug>

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
        return Quenby8aMacroRecord::kButtonEventSize;
    case KMacroItem::Pointer:
        return isNullMove(item) ? 0 : Quenby8aMacroRecord::kMoveEventSize;
    default:
        return 0;
    }
}

void putWord(QByteArray& record, int offset, int value)
{
    record[offset] = char(value & 0xFF);
    record[offset + 1] = char((value >> 8) & 0xFF);
}

} // namespace

quint8 Quenby8aMacroRecord::mouseButtonCode(int button)
{
    switch (button) {
    case 1: return 0xF0;  // left
    case 2: return 0xF2;  // middle
    case 3: return 0xF1;  // right
    default: return 0;
    }
}

int Quenby8aMacroRecord::encodedSize(const QVector<KMacroItem>& list)
{
    int size = kHeaderSize;
    for (const KMacroItem& item : list)
        size += eventSize(item);
    return size;
}

QByteArray Quenby8aMacroRecord::encode(bool ignoreDelay, int playType, const QVector<KMacroItem>& list, int repeat)
{
    int repeatField = 0;
    switch (playType) {
    case MacroPlayCycles: repeatField = qBound(0, repeat, kMaxRepeat); break;
    case MacroPlayToggle: repeatField = 0xFFFE; break;
    case MacroPlayWhilePressed: repeatField = 0xFFFF; break;
    default:
        qDebug() << "[Error] macro play type" << playType;
        return QByteArray();
    }
    const int size = encodedSize(list);
    if (size > kRecordSize) {
        qDebug() << "[Error] macro needs" << size << "bytes, a record holds" << kRecordSize;
        return QByteArray();
    }

    QByteArray record(kRecordSize, '\0');
    putWord(record, 2, repeatField);

    int next = kHeaderSize;  // where the next event goes
    int last = -1;           // start of the last event written; -1 before the first
    bool lastWasMove = false;
    bool released = false;   // the last key or button event was a release

    for (const KMacroItem& item : list) {
        switch (KMacroItem::normalizedType(item.type)) {
        case KMacroItem::KeyboardKey:
        case KMacroItem::MouseButton: {
            const bool isKey = KMacroItem::normalizedType(item.type) == KMacroItem::KeyboardKey;
            if (isKey && (item.value1 < 0 || item.value1 > 0xFF)) {
                qDebug() << "[Error] macro key usage out of range" << item.value1;
                return QByteArray();
            }
            last = next;
            next += kButtonEventSize;
            putWord(record, last, item.isUp ? 0 : 1);
            record[last + 2] = char(isKey ? quint8(item.value1) : mouseButtonCode(item.value1));
            released = item.isUp;
            lastWasMove = false;
            break;
        }
        case KMacroItem::Delay: {
            // A pause before the first event has no event to sit in.
            if (last < 0)
                break;
            const int delay = ignoreDelay ? kMinDelayMs : qBound(kMinDelayMs, item.value1, kMaxDelayMs);
            putWord(record, last, delay * 2 + (released ? 0 : 1));
            lastWasMove = false;
            break;
        }
        case KMacroItem::Pointer: {
            if (isNullMove(item))
                break;
            // The vertical distance goes out negated; widen first so that no value of a stored macro
            // overflows on the way.
            const int x = int(qBound<qint64>(kMoveMin, item.value1, kMoveMax));
            const int y = int(qBound<qint64>(kMoveMin, -qint64(item.value2), kMoveMax));
            last = next;
            next += kMoveEventSize;
            record[last + 2] = char(kMoveCode);
            record[last + 3] = char((((x >> 8) & 0x0F) << 4) | ((y >> 8) & 0x0F));
            record[last + 4] = char(x & 0xFF);
            record[last + 5] = char(y & 0xFF);
            lastWasMove = true;
            break;
        }
        default:
            qDebug() << "[Error] macro event type" << item.type;
            return QByteArray();
        }
    }
    // A record that ends on a move holds it for 1 ms.
    if (lastWasMove)
        putWord(record, last, 3);

    putWord(record, 0, next);
    record.truncate(next);
    return record;
}
