#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

// Firmware files as a server or a user may leave them: the ways a file of a firmware's name can be no firmware.
namespace BrokenFirmware {

// The cases by name: "missing", "empty", "oversize" (one byte over maxBytes), "html page", "json answer",
// "text", "fifo", "folder".
QStringList cases();

// Puts the case at path (its folder made first); false when it could not be made.
bool make(const QString& path, const QString& which, qint64 maxBytes);

// A binary image of size bytes, as the firmware tests send (no text, every byte value).
QByteArray image(int size);

// The answer a web server gives where a firmware was asked for: a 326-byte HTML page.
QByteArray htmlPage();
// An error answer of the web API.
QByteArray jsonAnswer();

// Frees a reader blocked on a FIFO: after a while it opens the FIFO for writing and closes it again, so a test
// that would hang ends (and fails on fired()).
class FifoWatchdog
{
public:
    explicit FifoWatchdog(const QString& path, int afterMs = 20000);
    ~FifoWatchdog();
    bool fired() const { return m_fired.load(); }

private:
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_fired {false};
    std::thread m_thread;
};

} // namespace BrokenFirmware
