#pragma once

#include "models/keys/KMacroItem.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

// The two-collection mice's macro record: two header bytes (the repeat count, big-endian) and 2-byte items,
// closed by the end item (0, 0). An event is (delay + up flag, code): the code is the HID usage of a key or
// F0, F2, F1 for mouse buttons 1, 2, 3, the delay (1..127 ms) the wait after it, 0x80 marks a release. Longer
// waits go before the event as an escape: (0, 1), (hundreds high, hundreds low), then the event with the rest
// (1 when the rest is 0). A move is (0, 2), (x, -y) as signed bytes, followed by (0, 3), (time high, time low)
// when a wait follows it. A record holds at most 511 items with the end item.
//
// Waits: every delay item adds to the wait after the event before it; delays before the first event wait for
// nothing and are dropped; with delays ignored every event waits 1 ms. Counts and times are held to 16 bits and
// moves to one signed byte.

struct EdrisMacroItem {
    quint8 first = 0;
    quint8 second = 0;
    bool operator==(const EdrisMacroItem& o) const { return first == o.first && second == o.second; }
};

struct EdrisMacroStruct {
    quint8 header[2] = {0, 1};        // repeat count, big-endian
    QVector<EdrisMacroItem> items;    // the end item included once encoded
};

namespace EdrisMacro {

// The record of a macro; false (record untouched) when it does not fit or holds an event the record cannot
// carry (a key usage beyond one byte).
bool encode(const QVector<KMacroItem>& items, bool ignoreDelays, int repeat, EdrisMacroStruct* record);

// The 1024 data bytes of a record's block write; empty when the record does not fit.
QByteArray recordBytes(const EdrisMacroStruct& record);

} // namespace EdrisMacro
