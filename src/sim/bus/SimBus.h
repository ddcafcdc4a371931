#pragma once

// A bus of simulated HID devices behind the HID backend seam. Tests and the program's simulated mode
// plug device emulators into it; the HID layer above sees them exactly as it sees real interfaces.

#include "platform/hid/HidBackend.h"
#include "platform/serial/SerialPorts.h"
#include "platform/hid/HidHotplugEvents.h"
#include "sim/bus/SimDevice.h"
#include "sim/bus/SimResponder.h"
#include "sim/bus/SimTransfer.h"

#include <QHash>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QRecursiveMutex>
#include <QSharedPointer>
#include <QWaitCondition>

class SimBus : public QObject, public KHID::HidBackend, public Platform::SerialPortBackend
{
    Q_OBJECT
public:
    enum class Fault {
        Query,          // describing the interface (enumeration skips it)
        OpenWrite,      // opening for reading and writing
        OpenRead,       // opening for reading only
        SetFeature,
        GetFeature,
        GetInputReport,
        Write,
        Read,
    };

    // Input reports kept per handle before the oldest is dropped, as the host's ring buffer does.
    static constexpr int kInputQueueLimit = 32;

    // The process-wide bus, created on first use in the calling thread.
    static SimBus* instance();

    // Makes the bus the process's HID backend and its serial-port list.
    void install();

    // Plugs an interface: responders holds one entry per collection (nullptr: a collection that accepts
    // writes and answers nothing). The caller keeps ownership of the responders; one destroyed while
    // plugged is detached and its collection answers nothing from then on (a responder that other threads
    // may be calling is unplugged before it goes: its own destructor runs before the detach).
    // Returns the device id; posts deviceArrived once per collection path.
    int plug(const SimDevice& device, const QList<SimResponder*>& responders);
    // Unplugs: blocked reads fail at once, later I/O on its handles fails; posts deviceRemoved per path.
    // After it returns no responder of the device is called again. False for an unknown id.
    bool unplug(int deviceId);
    // Unplugs everything (serial ports too), clears faults and the transcript.
    void reset();

    // Serial ports, as a device that restarts as a serial bootloader shows up. The port is left out of the
    // next hiddenListings listings (the time the device takes to come back). Returns the port's id.
    int plugSerialPort(const QString& portName, quint16 vendorId, quint16 productId, int hiddenListings = 0);
    bool unplugSerialPort(int portId);
    // How often the serial ports were listed since the last reset.
    int serialListings() const;
    QList<Platform::SerialPortInfo> availablePorts() override;

    QStringList paths(int deviceId) const;            // one per collection, in order
    QString path(int deviceId, int collection = 0) const;
    QList<int> deviceIds() const;
    // False once the device was unplugged (also by a reset); ids are never given out again.
    bool isPlugged(int deviceId) const;
    int openHandleCount(int deviceId) const;
    // Reads waiting for an input report right now (tests wait for a reader thread to block).
    int blockedReads() const;

    // Fault injection. collection -1 applies to every collection of the device.
    void failNext(int deviceId, Fault fault, int count = 1, int collection = -1);
    // The system's reason (an errno value) the device's failed opens give; EIO unless set.
    void setOpenError(int deviceId, int error);
    // Every transfer of the device first waits this long through the platform sleep hook.
    void setLatency(int deviceId, int ms);
    // The device stops answering: control reads fail (as a timed-out request does), writes are accepted but
    // not delivered, and reads get no reports from it.
    void setNeverAnswer(int deviceId, bool on);

    // Operations the transcript keeps before the oldest is dropped: a firmware image's transfer several times
    // over, while a long simulated run (each entry holds a report of up to a kilobyte) stays within a few MB.
    static constexpr int kTranscriptLimit = 16384;

    // The transcript of every operation, in order (the newest kTranscriptLimit).
    SimTranscript transcript() const;
    void clearTranscript();
    // Marks one request/response exchange of the calling thread.
    void beginTransaction();
    void endTransaction();

    // True when no transaction of one thread has another thread's transfer inside it. With marks in the
    // transcript the marks delimit transactions; without, each send and the same thread's next reply on the
    // same device do. Reads are left out when ignoreReads is set (interrupt readers run without the lock).
    static bool checkNoInterleaving(const SimTranscript& transcript, QString* why = nullptr,
                                    bool ignoreReads = true);

    // HidBackend
    QStringList enumerate() override;
    bool queryInterface(const QString& path, KHID::HidInterfaceInfo& info) override;
    KHID::HANDLE open(const QString& path, KHID::HidAccess access) override;
    void close(KHID::HANDLE handle) override;
    bool setFeature(KHID::HANDLE handle, const quint8* buffer, quint32 length) override;
    bool getFeature(KHID::HANDLE handle, quint8* buffer, quint32 length) override;
    bool getInputReport(KHID::HANDLE handle, quint8* buffer, quint32 length) override;
    bool write(KHID::HANDLE handle, const quint8* buffer, quint32 length, quint32* written) override;
    bool read(KHID::HANDLE handle, quint8* buffer, quint32 length, quint32* read, int timeoutMs = -1) override;
    void cancel(KHID::HANDLE handle) override;
    // Passes on deviceArrived and deviceRemoved.
    KHID::HidHotplugEvents* hotplugEvents() override { return &m_hotplugEvents; }

signals:
    void deviceArrived(const QString& path);
    void deviceRemoved(const QString& path);

private:
    struct Device;
    struct Handle;

    explicit SimBus(QObject* parent = nullptr);
    ~SimBus() override;

    friend class SimResponder;
    void deliverInput(int deviceId, int collection, const QByteArray& report);
    void forgetResponder(SimResponder* responder);

    enum class Control { SetFeature, GetFeature, GetInputReport };
    bool control(KHID::HANDLE handle, Control kind, quint8* buffer, quint32 length);
    bool takeFault(Device& device, int collection, Fault fault);
    void record(SimTransfer::Op op, bool ok, int deviceId, int collection, KHID::HANDLE handle,
                const QByteArray& bytes);
    // Sleeps the device's latency (through the platform sleep hook) before a transfer.
    void waitLatency(KHID::HANDLE handle) const;

    mutable QMutex m_mutex;                 // the bus's state
    QRecursiveMutex m_firmwareMutex;        // one responder call at a time; taken before m_mutex
    QWaitCondition m_inputArrived;
    QHash<int, Device*> m_devices;
    QHash<KHID::HANDLE, QSharedPointer<Handle>> m_handles;   // a blocked read keeps its handle alive
    int m_nextDeviceId = 1;
    int m_nextNode = 0;
    KHID::HANDLE m_nextHandle = 0x5100;
    SimTranscript m_transcript;
    KHID::HidHotplugEvents m_hotplugEvents;
    quint64 m_sequence = 0;
    int m_blockedReads = 0;

    struct SerialPort {
        Platform::SerialPortInfo info;
        int hiddenListings = 0;
    };
    QMap<int, SerialPort> m_serialPorts;
    int m_nextSerialPort = 1;
    int m_serialListings = 0;
};
