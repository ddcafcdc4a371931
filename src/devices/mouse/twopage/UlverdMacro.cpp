#include "devices/mouse/twopage/UlverdMacro.h"

#include "devices/mouse/twopage/UlverdProtocol.h"

using namespace Ulverd;

namespace UlverdMacro {

namespace {

int delayOf(const KMacroItem& item, bool ignoreDelay)
{
    if (ignoreDelay || item.value1 <= 0)
        return 1;
    return qMin(item.value1, kMaxDelayMs);
}

void appendMove(QByteArray& out, const KMacroItem& item)
{
    const int x = qBound(-kMaxMove, item.value1, kMaxMove);
    const int y = qBound(-kMaxMove, item.value2, kMaxMove);
    out.append(char(kEventMove));
    out.append(char(x & 0xFF));
    out.append(char(x < 0 ? 0xFF : 0));
    out.append(char(y & 0xFF));
    out.append(char(y < 0 ? 0xFF : 0));
}

bool isMove(const KMacroItem& item)
{
    return item.type == KMacroItem::Pointer && (item.value1 != 0 || item.value2 != 0);
}

} // namespace

bool encodeEvents(const QVector<KMacroItem>& items, bool ignoreDelay, QByteArray* out)
{
    QByteArray events;
    for (const KMacroItem& item : items) {
        switch (item.type) {
        case KMacroItem::KeyboardKey:
            events.append(char(item.isUp ? kEventKeyUp : kEventKeyDown));
            events.append(char(item.value1));
            break;
        case KMacroItem::MouseButton:
            events.append(char(item.isUp ? kEventButtonUp : kEventButtonDown));
            events.append(char(item.value1));
            break;
        case KMacroItem::Delay: {
            const int delay = delayOf(item, ignoreDelay);
            events.append(char(kEventDelay));
            events.append(char(delay >> 8));
            events.append(char(delay & 0xFF));
            break;
        }
        case KMacroItem::Pointer:
            if (isMove(item))
                appendMove(events, item);
            break;
        default:
            break;
        }
        if (events.size() > kMacroBufferSize)
            break;
    }
    if (!items.isEmpty() && items.last().type == KMacroItem::Pointer) {
        events.append(char(kEventDelay));
        events.append(char(0));
        events.append(char(1));
    }
    if (events.size() > kMacroBufferSize) {
        out->clear();
        return false;
    }
    *out = events;
    return true;
}

bool encodeLockedEvents(const QVector<KMacroItem>& items, bool ignoreDelay, QByteArray* out, int* records)
{
    QByteArray events;
    int count = 0;
    int lastField = -1;          // where the delay field of the last record starts
    bool lastFieldSet = false;   // a delay item has gone into it
    for (const KMacroItem& item : items) {
        if (item.type == KMacroItem::Delay) {
            if (lastField < 0)
                continue;  // no record before it
            const int delay = delayOf(item, ignoreDelay);
            int total = delay;
            if (lastFieldSet)
                total = qMin(kMaxDelayMs,
                             quint8(events.at(lastField + 1)) | quint8(events.at(lastField + 2)) << 8) + delay;
            total = qMin(total, kMaxDelayMs);
            events[lastField] = char(kDelayFieldSet);
            events[lastField + 1] = char(total & 0xFF);
            events[lastField + 2] = char(total >> 8);
            lastFieldSet = true;
            continue;
        }
        const bool key = item.type == KMacroItem::KeyboardKey;
        const bool button = item.type == KMacroItem::MouseButton;
        if (!key && !button && !isMove(item))
            continue;
        lastField = events.size();
        lastFieldSet = false;
        if (isMove(item)) {
            for (int i = 0; i < kDelayFieldSize; ++i)
                events.append(char(kMoveDelayField[i]));
            appendMove(events, item);
        } else {
            events.append(QByteArray(kDelayFieldSize, '\0'));
            if (key)
                events.append(char(item.isUp ? kEventKeyUp : kEventKeyDown));
            else
                events.append(char(item.isUp ? kEventButtonUp : kEventButtonDown));
            events.append(char(item.value1));
        }
        ++count;
        if (events.size() > kMacroBufferSize)
            break;
    }
    if (events.size() > kMacroBufferSize || count > 0xFF) {
        out->clear();
        return false;
    }
    *out = events;
    if (records)
        *records = count;
    return true;
}

QList<QByteArray> dataPackets(quint8 slot, const QByteArray& events, quint8 eventCount)
{
    const int total = events.size();
    const int count = macroPacketCount(total);
    QList<QByteArray> packets;
    int offset = 0;
    for (int index = 1; index <= count; ++index) {
        QByteArray packet(kMacroPacketSize, '\0');
        packet[0] = char(kReportId);
        packet[1] = char(kCmdMacroData);
        packet[2] = char(slot);
        packet[kMacroEventsByte] = char(eventCount);
        packet[4] = char(index);
        packet[5] = char(count);
        int carried;
        if (index == 1) {
            carried = qMin(total, kMacroFirstEvents);
            packet[kMacroLengthByte] = char(count == 1 ? total + 1 + kMacroFirstPadding : kMacroBodySize);
            packet[kMacroBodyByte] = char(kMacroFirstMarker);
            packet.replace(kMacroFirstEventByte, carried, events.mid(0, carried));
        } else {
            carried = qMin(total - offset, kMacroBodySize);
            packet[kMacroLengthByte] = char(carried);
            packet.replace(kMacroBodyByte, carried, events.mid(offset, carried));
        }
        offset += carried;
        // The device wants a movement of exactly (-1, 100) sent with x cleared; the first one in the packet.
        for (int i = kMovementFixStart; i + 3 < kMacroPacketSize; ++i) {
            if (quint8(packet.at(i)) == kEventMove && quint8(packet.at(i + 1)) == 0xFF
                && quint8(packet.at(i + 2)) == 0xFF && quint8(packet.at(i + 3)) == 100) {
                packet[i + 1] = 0;
                packet[i + 2] = 0;
                break;
            }
        }
        packets << packet;
    }
    return packets;
}

} // namespace UlverdMacro
