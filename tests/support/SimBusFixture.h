#pragma once

#include "sim/bus/SimBus.h"

#include <QList>

// Installs the simulated bus as the HID backend for the lifetime of the fixture, with an empty bus and
// sleeps scaled to zero; unplugs everything and puts the previous backend back on destruction.
class SimBusFixture
{
public:
    SimBusFixture();
    ~SimBusFixture();
    SimBusFixture(const SimBusFixture&) = delete;
    SimBusFixture& operator=(const SimBusFixture&) = delete;

    SimBus* bus() const { return m_bus; }
    SimBus* operator->() const { return m_bus; }

    // A single interface of the given collections, with the fixture's default ids.
    int plug(const QList<SimCollection>& collections, const QList<SimResponder*>& responders,
             quint16 vendorId, quint16 productId, int interfaceNumber = -1);

private:
    SimBus* m_bus;
    KHID::HidBackend* m_previous;
    Platform::SerialPortBackend* m_previousPorts;
};
