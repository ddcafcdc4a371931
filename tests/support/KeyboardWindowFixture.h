#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class LogCapture;
class QQuickWindow;
class SimBusFixture;
class SimQuenbyKeyboard;

// A keyboard of the given model on a fresh simulated bus and the program's real main window on it, with the
// log captured: what the keyboard pages' window tests start from.
class KeyboardWindowFixture
{
public:
    KeyboardWindowFixture();
    ~KeyboardWindowFixture();
    KeyboardWindowFixture(const KeyboardWindowFixture&) = delete;
    KeyboardWindowFixture& operator=(const KeyboardWindowFixture&) = delete;

    // Plugs the keyboard and starts the program; the window once it shows the key page, null on failure.
    QQuickWindow* start(quint16 productId);
    // Ends the program and drops the keyboard and the bus; the QML faults logged while it ran.
    QStringList stop();
    // The QML faults logged so far.
    QStringList faults() const;

    SimQuenbyKeyboard* keyboard() const { return m_keyboard.get(); }
    QQuickWindow* window() const { return m_window; }

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimQuenbyKeyboard> m_keyboard;
    std::unique_ptr<LogCapture> m_log;
    QQuickWindow* m_window = nullptr;
};
