#pragma once

#include "models/keys/KMacroItem.h"

#include <QByteArray>
#include <QVector>

// The macro record that the keyboard and the register mice share (each family's header documents its page):
//   bytes 0-1  record length (header and events), little-endian
//   bytes 2-3  repeat: the count (play type 1), FE FF (2: until pressed again), FF FF (3: while held)
//   bytes 4..  the events, each right after the previous one
// A key or mouse-button event takes 3 bytes: the delay word (delay in ms * 2, plus 1 for a press) and the
// code (the HID usage of a key; F0, F2, F1 for buttons 1, 2, 3). A move takes 6: the delay word, F7, the
// high nibbles of x (upper half) and of -y (lower half), the low bytes of x and of -y, both 12-bit two's
// complement. A delay adds no event: it sets the delay word of the event before it, with that key's press
// bit; a delay before the first event has no event to wait after and is dropped. A record that ends on a
// move holds it for 1 ms (word 3).
//
// Pure functions: callable from any thread.
namespace MacroRecordEncoder {

// What a family's records differ in.
struct Format {
    int recordSize;      // bytes of one record slot
    int minDelayMs;      // shortest wait a delay is stored with
    int ignoredDelayMs;  // the wait of every delay when delays are ignored
    bool delaysAddUp;    // delays in a row add up (otherwise the last one counts)
    // Byte 3 of a move from the clamped x and the sent (negated) y; null: the two high nibbles as above.
    quint8 (*moveHighBits)(int x, int sentY) = nullptr;
};

constexpr int kHeaderSize = 4;
constexpr int kButtonEventSize = 3;
constexpr int kMoveEventSize = 6;
constexpr int kMaxDelayMs = 0x7FFF;  // the word keeps one bit for the press flag
constexpr int kMaxRepeat = 0xFFFD;   // FE FF and FF FF are the two other play types
constexpr int kMoveMin = -2048;
constexpr int kMoveMax = 2047;
constexpr quint8 kMoveCode = 0xF7;

// The record, cut to its length; empty (with a log line) when it would not fit one slot, or names an
// unknown play type or event type, or a key usage beyond one byte. A button other than 1-3 gets code 0.
QByteArray encode(const Format& format, bool ignoreDelay, int playType, const QVector<KMacroItem>& list, int repeat);

// The bytes the record of list takes, header included (leading delays and null moves take none); computed
// before anything is built.
int encodedSize(const QVector<KMacroItem>& list);

// F0, F2, F1 for buttons 1, 2, 3; 0 for any other number.
quint8 mouseButtonCode(int button);

} // namespace MacroRecordEncoder
