#pragma once

// What every emulator does on the simulated bus, whatever its protocol: it plugs its interfaces with the
// responders of their collections, says whether it is still plugged (the bus's word: a bus reset unplugs it
// without telling), names its collections' paths and arms the bus's fault injection on its own device. The
// protocol, its state and its faults live in the derived emulator.
//
// An emulator's main interface is the one it plugged last (the keyboard plugs its boot interface first, then
// the vendor interface its commands go to); its device id and paths are the main interface's.
//
// Threads: every call may come from any thread. m_mutex guards the plugging state and the derived emulator's
// state; it is never held while the bus is called, since the bus calls back into the emulator under its own
// locks. A derived emulator unplugs in its own destructor, before its responders go.

#include "sim/bus/SimBus.h"
#include "sim/bus/SimDevice.h"

#include <QList>
#include <QMutex>
#include <QString>

class SimResponder;

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

    mutable QMutex m_mutex;

private:
    // Forgets the plugged interfaces and unplugs them from the bus (after a bus reset they are gone already).
    void unplugAll();
    // Plugs the interfaces on bus and keeps their ids; the caller has unplugged what was there.
    void plugAll(SimBus* bus, const QList<Interface>& interfaces);

    SimBus* m_bus;
    QList<int> m_deviceIds;   // plugging order; the last is the main interface
};
