#pragma once

// Macro event strings and data packets of the two-page mice.
//
// Root event string, one entry per item:
//   key          2 (down) or 3 (up), HID usage
//   button       4 (down) or 5 (up), button
//   delay        1, delay high byte, delay low byte (1 ms when delays are ignored or 0; at most 65535)
//   movement     6, x low byte, 0xFF if x < 0 else 0, y low byte, 0xFF if y < 0 else 0 (only when x or y is
//                not 0; each clamped to -255..255); a list that ends with a movement ends with 1, 0, 1
// Locked variant, one record per key, button or movement, each led by a 3-byte delay field:
//   [1, delay low, delay high] once a delay item followed the record, else [0, 0, 0] (a movement's field
//   starts as 1, 1, 0); then 2/3 + usage, 4/5 + button, or 6 + the four movement bytes. Delay items add
//   nothing of their own: leading ones are dropped, consecutive ones add up (at most 65535).
// Other item types add nothing. A string may not pass Ulverd::kMacroBufferSize bytes.
//
// Packets: see Ulverd::MacroDataPacket.

#include "models/keys/KMacroItem.h"

#include <QByteArray>
#include <QList>
#include <QVector>

namespace UlverdMacro {

// The root's event string; false (out empty) when it would pass the buffer size.
bool encodeEvents(const QVector<KMacroItem>& items, bool ignoreDelay, QByteArray* out);
// The locked variant's event string and its number of records; false when it would pass the buffer size or
// hold more records than the count byte takes.
bool encodeLockedEvents(const QVector<KMacroItem>& items, bool ignoreDelay, QByteArray* out, int* records);

// The data packets of an event string, 64 bytes each; eventCount goes into byte 3 of every packet.
QList<QByteArray> dataPackets(quint8 slot, const QByteArray& events, quint8 eventCount);

} // namespace UlverdMacro
