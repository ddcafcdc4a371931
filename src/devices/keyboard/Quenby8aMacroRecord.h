#pragma once

#include "devices/keyboard/Quenby8aKeyCodec.h"
#include "devices/keyboard/Quenby8aProtocol.h"
#include "models/keys/KMacroItem.h"

#include <QByteArray>
#include <QVector>

// Encodes a macro event list into the keyboard's 512-byte macro record:
//   bytes 0-1 end offset (bytes of the record sent to the device), bytes 2-3 repeat field, then the events.
// A key or mouse button event takes 3 bytes: word (delay ms << 1 | press bit), code. A pointer move takes 6:
// word, 0xF7, the high bits of x and -y, the low bytes of x and -y. A delay adds no event; it is stored
// in the word of the event before it. Every event starts where the one before it ends. The two models differ
// only in how byte 3 of a move packs the high bits (the RGB model: Quenby8a::Rgb::moveHighBits).
class Quenby8aMacroRecord
{
public:
    static constexpr int kRecordSize = Quenby8a::kMacroRecordSize;
    static constexpr int kHeaderSize = int(sizeof(Quenby8a::MacroRecordHeader));
    static constexpr int kButtonEventSize = 3;
    static constexpr int kMoveEventSize = 6;
    static constexpr int kMinDelayMs = 25;
    static constexpr int kMaxDelayMs = 0x7FFF;     // the word keeps one bit for the press flag
    static constexpr int kMaxRepeat = 0xFFFD;      // 0xFFFE and 0xFFFF are the two endless modes
    static constexpr int kMoveMin = -2048;         // 12-bit two's complement deltas
    static constexpr int kMoveMax = 2047;
    static constexpr quint8 kMoveCode = 0xF7;

    // The encoded record, cut to its end offset; empty when the list does not fit into one record, names an
    // unknown play type or event type, or a key usage outside one byte.
    static QByteArray encode(bool ignoreDelay, int playType, const QVector<KMacroItem>& list, int repeat,
                             Quenby8aKeyCodec::Model model = Quenby8aKeyCodec::Wired);

    // Bytes the events of list need in a record, header included (leading delays and null moves take none).
    static int encodedSize(const QVector<KMacroItem>& list);

    static quint8 mouseButtonCode(int button);
};
