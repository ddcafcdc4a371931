#pragma once

#include "platform/input/NativeKeyTable.h"

#include <QObject>

// Key events of the program's own windows, reported the way a process-wide low-level keyboard hook reports
// them, for the key-press preview. Linux offers no such hook to a normal program, so the source is an
// application-wide event filter: it sees key events only while a window of the program has the keyboard,
// which is the only time the preview reports anything anyway.
//
// Each key event that reaches one of the program's windows becomes one call of the installed procedure with
// the key's codes (NativeKeyTable) and a key-down or key-up message; keys the table does not know are not
// reported. As on the original system, auto-repeat shows as further key-down messages only (the releases Qt
// adds between them are dropped), and Alt turns the messages into their system variants. The filter never
// swallows an event.
//
// Threads: GUI thread only; the procedure is called on it.
class KeyboardEventSource : public QObject
{
    Q_OBJECT
public:
    // The procedure's code for a key event ("an action").
    static constexpr int kAction = 0;
    enum Message : int { KeyDown = 0x100, KeyUp = 0x101, SysKeyDown = 0x104, SysKeyUp = 0x105 };
    // Bit 0 of Record::flags.
    static constexpr quint32 kExtendedFlag = 0x01;

    struct Record {
        int vkCode = 0;
        int scanCode = 0;
        quint32 flags = 0;
    };
    using Procedure = void (*)(int code, int message, const Record& record);

    // Starts reporting to procedure; null when there is no GUI application to watch. The caller removes it.
    static KeyboardEventSource* install(Procedure procedure);
    // Stops the source and deletes it; false for null.
    static bool remove(KeyboardEventSource* source);
    // Whether the window that has the keyboard now is one of this program's.
    static bool foregroundIsOurs();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyboardEventSource(Procedure procedure);

    Procedure m_procedure;
};
