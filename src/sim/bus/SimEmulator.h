#pragma once

// What every emulator does on the simulated bus, whatever its protocol: it describes and plugs its interfaces
// with the responders of their collections (the emulator itself, or a Collection per collection that hands its
// reports to the emulator's handlers), says whether it is still plugged (the bus's word: a bus reset unplugs it
// without telling), names its collections' paths and arms the bus's fault injection on its own device. The
// protocol, its state and its faults live in the derived emulator; faults armed by transfer number count
// with SimNumberedFaults, and what an emulator keeps of what it received is a SimHistory.
//
// An emulator's main interface is the one it plugged last (the keyboard plugs its boot interface first, then
// the vendor interface its commands go to); its device id and paths are the main interface's.
//
// Threads: every call may come from any thread. m_mutex guards the plugging state and the derived emulator's
// state; it is never held while the bus is called, since the bus calls back into the emulator under its own
// locks. A derived emulator unplugs in its own destructor, before its responders go.

#include "sim/bus/SimBus.h"
#include "sim/bus/SimDevice.h"
#include "sim/bus/SimResponder.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include <functional>

class SimEmulator
{
public:
    SimEmulator(const SimEmulator&) = delete;
    SimEmulator& operator=(const SimEmulator&) = delete;

    // Unplugs every interface, the last plugged first; nothing happens when not plugged.
    void unplug();
    bool isPlugged() const;
    // The bus's id of the main interface; -1 when unplugged.
    int busDeviceId() const;

protected:
    struct Interface {
        SimDevice device;
        // One per collection; nullptr: a collection that accepts writes and answers nothing.
        QList<SimResponder*> responders;
    };

    // A collection whose reports go to handlers of the emulator (an emulator with several collections that
    // answer differently); a handler left empty does what SimResponder does by default.
    class Collection : public SimResponder
    {
    public:
        std::function<bool(const QByteArray&)> output;
        std::function<bool(const QByteArray&)> setFeature;
        std::function<bool(quint8, QByteArray&)> getFeature;
        std::function<bool(quint8, QByteArray&)> getInputReport;

        bool onOutput(const QByteArray& report) override;
        bool onSetFeature(const QByteArray& report) override;
        bool onGetFeature(quint8 reportId, QByteArray& report) override;
        bool onGetInputReport(quint8 reportId, QByteArray& report) override;
    };

    // An interface of the maker's vendor id as the firmware describes itself.
    static SimDevice describe(quint16 productId, quint16 versionNumber, const QString& productName,
                              const QList<SimCollection>& collections = {});

    // bus: where the emulator plugs when its plug names no bus (the bus's instance when null).
    explicit SimEmulator(SimBus* bus = nullptr);
    ~SimEmulator();

    // Plugs the interfaces in order (on the emulator's bus when bus is null); false when already plugged.
    bool plugInterfaces(SimBus* bus, const QList<Interface>& interfaces);
    // Unplugs and plugs these instead, as a device that restarts as another one (also from inside a
    // responder call).
    void replugInterfaces(const QList<Interface>& interfaces);
    // The path of a collection of the main interface; empty when unplugged.
    QString collectionPath(int collection) const;
    // Arms a bus fault on a collection of the main interface (-1: every collection); nothing when unplugged.
    void failOnBus(SimBus::Fault fault, int collection, int count = 1) const;
    // The bus the emulator plugs on.
    SimBus* bus() const;

    // Copies and stores of the derived emulator's state under m_mutex, for its accessors.
    template <typename T>
    T locked(const T& member) const
    {
        QMutexLocker lock(&m_mutex);
        return member;
    }
    template <typename T, typename V>
    void setLocked(T& member, const V& value)
    {
        QMutexLocker lock(&m_mutex);
        member = value;
    }
    // A byte of a fixed-size memory (an image, a page); 0 outside it.
    quint8 lockedByte(const QByteArray& memory, int index) const;
    // Stores a byte inside the memory; a byte outside is dropped.
    void setLockedByte(QByteArray& memory, int index, quint8 value);
    // Replaces the memory with bytes, cut or padded with zeros to size.
    void setLockedMemory(QByteArray& memory, const QByteArray& bytes, int size);

    mutable QMutex m_mutex;

private:
    // Forgets the plugged interfaces and unplugs them from the bus (after a bus reset they are gone already).
    void unplugAll();
    // Plugs the interfaces on bus and keeps their ids; the caller has unplugged what was there.
    void plugAll(SimBus* bus, const QList<Interface>& interfaces);

    SimBus* m_bus;
    QList<int> m_deviceIds;   // plugging order; the last is the main interface
};
