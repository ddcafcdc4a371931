#pragma once

#include "models/keys/KMacroItem.h"
#include "models/keys/MacroPlayType.h"

#include <QByteArray>
#include <QVector>

// The macro buffer of the feature-report mice: 1024 bytes, the repetition in bytes 0-1 (the repeat count
// high byte first, FF FE toggled, FF FF while held), then the events as [state, code] records from byte 2.
// The state byte has bit 7 set for a release and the delay after the record in its low bits (1 none, d / 10 + 1
// up to 1260 ms); a longer delay follows its record as [0, unit, high, low] (unit 1..4 = 10, 20, 50, 100 ms).
// A key records its HID usage, a mouse button F0 / F2 / F1, a wheel turn its direction code (5 up, 6 down,
// 7 right, 8 left) followed by [hundreds, tens and units in BCD] of the amount. The record after the last event
// stays zero: the end.
//
// Pure: callable from any thread.
namespace DunmorMacro {

enum class Dialect {
    Root,
    Kinloch,   // one count byte (byte 0 is 0) and the vertical wheel codes swapped
};

// The buffer of a macro; empty when it does not fit (nothing of a macro is ever cut off) or the play type is
// unknown. Each macro starts with no key held. Repeat counts are held below the play-type marks (the Kinloch's
// to 255), wheel amounts to 255.
QByteArray encode(Dialect dialect, bool ignoreDelay, MacroPlayType playType, const QVector<KMacroItem>& items,
                  int repeat);

} // namespace DunmorMacro
