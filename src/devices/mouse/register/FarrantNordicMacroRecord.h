#pragma once

#include "devices/mouse/register/FarrantNordicProtocol.h"
#include "models/keys/KMacroItem.h"

#include <QByteArray>
#include <QVector>

// Encodes a macro event list into the register mouse's macro record, one record per 4 KB macro page
// (0x1000 + 0x1000 * slot for the buttons' slots 0-10, 0x10000 + 0x1000 * (n - 1000) for the press macros
// 1000-1003), written in 24-byte packets:
//   bytes 0-1  record length (header and events), little-endian
//   bytes 2-3  repeat: the count (play type 1), FE FF (2: until pressed again), FF FF (3: while held)
//   bytes 4..  the events, each right after the previous one
// A key or mouse-button event takes 3 bytes: the delay word (delay in ms * 2, plus 1 for a press) and the code
// (the HID usage of a key; F0, F2, F1 for buttons 1, 2, 3). A move takes 6: the delay word, F7, the high
// nibbles of x (upper half) and of -y (lower half), the low bytes of x and of -y, both 12-bit two's
// complement. A delay adds no event: it sets the delay word of the event before it, with that key's press
// bit. Delays in a row add up (to at most 32767 ms); a delay before the first event has no event to wait
// after and is dropped; ignored delays wait 2 ms. A record that ends on a move holds it for 1 ms (word 3).
// The layout is the keyboard's (MacroRecordEncoder); the page size and the delay rules are this family's.
//
// Pure functions: callable from any thread.
class FarrantNordicMacroRecord
{
public:
    static constexpr int kRecordSize = FarrantNordic::kMacroRecordSize;
    static constexpr int kHeaderSize = FarrantNordic::kMacroHeaderSize;
    static constexpr int kIgnoredDelayMs = 2;      // the wait of every delay when delays are ignored
    static constexpr int kMaxDelayMs = 0x7FFF;     // the word keeps one bit for the press flag
    static constexpr int kMaxRepeat = 0xFFFD;      // FE FF and FF FF are the two other play types

    // The record, cut to its length; empty (with a log line) when it would not fit one page, or names an
    // unknown play type, event type or a key usage beyond one byte.
    static QByteArray encode(bool ignoreDelay, int playType, const QVector<KMacroItem>& list, int repeat);

    // The bytes the record of list takes, header included; computed before anything is built.
    static int encodedSize(const QVector<KMacroItem>& list);
};
