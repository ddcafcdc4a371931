#pragma once

// A macro record as the keyboard's firmware plays it: a header (end offset, repeat word) and a run of
// events, each right after the previous one. Decoding is strict: a record the firmware could not play
// completely (an end offset out of range, an event cut by the end, an empty event slot) is reported
// invalid with the reason, so a fault in the encoder shows up as a readable message.

#include <QByteArray>
#include <QList>
#include <QString>

struct SimMacroEvent {
    enum class Kind { Key, MouseButton, Move };
    enum Button { Left = 1, Middle = 2, Right = 3 };

    Kind kind = Kind::Key;
    bool press = false;   // keys and buttons; a move carries the bit but it means nothing
    int usage = 0;        // Key: HID keyboard usage
    int button = 0;       // MouseButton: Left, Middle or Right
    int dx = 0;           // Move: horizontal distance
    int dy = 0;           // Move: vertical distance, positive downwards as recorded (the wire holds -dy)
    int delayMs = 0;      // wait after the event

    static SimMacroEvent key(int usage, bool press, int delayMs = 0);
    static SimMacroEvent mouseButton(int button, bool press, int delayMs = 0);
    static SimMacroEvent move(int dx, int dy, int delayMs = 0);

    QString toString() const;
    bool operator==(const SimMacroEvent& other) const;
    bool operator!=(const SimMacroEvent& other) const { return !(*this == other); }
};

struct SimMacroRecord {
    enum PlayType { RepeatCount = 1, UntilPressedAgain = 2, WhileHeld = 3 };

    static constexpr int kHeaderSize = 4;
    static constexpr int kKeyEventSize = 3;
    static constexpr int kMoveEventSize = 6;
    static constexpr quint16 kRepeatUntilPressed = 0xFFFE;
    static constexpr quint16 kRepeatWhileHeld = 0xFFFF;
    static constexpr quint8 kCodeLeft = 0xF0;
    static constexpr quint8 kCodeRight = 0xF1;
    static constexpr quint8 kCodeMiddle = 0xF2;
    static constexpr quint8 kCodeMove = 0xF7;

    bool valid = false;
    QString error;           // why the record is invalid
    int endOffset = 0;       // bytes 0-1
    int playType = RepeatCount;
    int repeatCount = 0;     // play type RepeatCount only
    QList<SimMacroEvent> events;

    // How byte 3 of a move holds the high bits of its distances.
    enum class MoveFormat {
        Nibbles,      // wired keyboard: high nibble of x, high nibble of the sent y
        FullSizeRgb,  // RGB model: bit 0 set, bits 1-3 the sent y's high bits (11-bit y), bits 4-7 x's nibble
    };

    // record: the slot's bytes (at most one record; a shorter array counts as zero-filled).
    static SimMacroRecord decode(const QByteArray& record, int recordSize = 512,
                                 MoveFormat moveFormat = MoveFormat::Nibbles);

    QString toString() const;
};

char* toString(const SimMacroEvent& event);
