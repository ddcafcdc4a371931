#pragma once

// The seam between the KHID layer and the operating system. Two implementations exist: hidraw for real
// devices and the simulated bus. Both present one interface per top-level collection, with Windows-like
// paths (HidPath.h), report lengths that count the id byte, and reads that deliver only the collection's
// own input reports, id byte first, padded to the collection's input report length.

#include "platform/hid/HidTypes.h"

#include <QStringList>

namespace KHID {

class HidHotplugEvents;

enum class HidAccess {
    None,       // attributes only
    Read,
    ReadWrite,
};

class HidBackend
{
public:
    virtual ~HidBackend() = default;

    // Paths of every present interface, in a stable order (device node, then collection index).
    virtual QStringList enumerate() = 0;

    // Describes one interface; false when it cannot be opened or its attributes cannot be read.
    virtual bool queryInterface(const QString& path, HidInterfaceInfo& info) = 0;

    // Opens an interface; INVALID_HANDLE_VALUE on failure.
    virtual HANDLE open(const QString& path, HidAccess access) = 0;
    virtual void close(HANDLE handle) = 0;

    // buffer[0] is the report id; length counts it.
    virtual bool setFeature(HANDLE handle, const quint8* buffer, quint32 length) = 0;
    // buffer[0] holds the requested report id on entry; on success the report, id byte first.
    virtual bool getFeature(HANDLE handle, quint8* buffer, quint32 length) = 0;
    virtual bool getInputReport(HANDLE handle, quint8* buffer, quint32 length) = 0;

    // Output report as written by the caller (id byte first).
    virtual bool write(HANDLE handle, const quint8* buffer, quint32 length, quint32* written) = 0;

    // Blocks until an input report of the handle's collection arrives, the handle is cancelled or closed,
    // the device goes away, or timeoutMs passes (negative: no time-out). False in every case but the first.
    virtual bool read(HANDLE handle, quint8* buffer, quint32 length, quint32* read, int timeoutMs = -1) = 0;

    // Wakes every read blocked on the handle; they return false. Later reads block again.
    virtual void cancel(HANDLE handle) = 0;

    // A backend that knows its own arrivals and removals announces them here; null when the system's device
    // events are to be watched instead (hidraw).
    virtual HidHotplugEvents* hotplugEvents() { return nullptr; }
};

// The last interface that could not be opened, and the system's reason (an errno value; 0 when the backend
// knows none). Backends note their failed opens; the device layer reads it to tell the user why a device
// stays closed. Safe from any thread.
struct HidOpenFailure {
    QString path;
    int error = 0;
};
void noteOpenFailure(const QString& path, int error);
HidOpenFailure lastOpenFailure();
void clearOpenFailure();
// The system's text for an errno value, in the user's locale.
QString systemErrorText(int error);

// The backend in use by the process. Defaults to hidraw; the program selects the simulated bus when asked
// (CORVANE_SIMULATE) and tests install one of their own. The caller keeps ownership.
HidBackend* hidBackend();
void setHidBackend(HidBackend* backend);

} // namespace KHID
