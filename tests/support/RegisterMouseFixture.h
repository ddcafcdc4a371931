#pragma once

#include "SimBusFixture.h"

#include "sim/mouse/register/SimRegisterMouse.h"

#include <QList>

#include <memory>

class KBaseDevice;

// A register mouse on a fresh simulated bus, and the device object of its class made the way a simulated run
// makes it (the registry's factory seam over every family). Sleeps are recorded, not slept.
class RegisterMouseFixture
{
public:
    // address: the emulator's address byte (0xFF wired, 0xA5 through the receiver).
    explicit RegisterMouseFixture(quint16 productId, quint8 address);
    ~RegisterMouseFixture();
    RegisterMouseFixture(const RegisterMouseFixture&) = delete;
    RegisterMouseFixture& operator=(const RegisterMouseFixture&) = delete;

    SimBusFixture* bus() const { return m_bus.get(); }
    SimRegisterMouse* mouse() const { return m_mouse.get(); }
    quint16 productId() const { return m_pid; }

    // The device of the product id, registered and current (created on first use); create builds it, the
    // class registered for the id when none is given. Null when nothing serves the id.
    KBaseDevice* createDevice(KBaseDevice* (*create)() = nullptr);
    // createDevice() and its opening; the command log and the recorded sleeps start empty after it. Null
    // when the opening failed.
    KBaseDevice* openDevice(KBaseDevice* (*create)() = nullptr);
    // Marks the device removed, lets the registry delete it and waits for that; false when it did not go.
    bool removeDevice();

    // The writes the mouse carried out, each as its register and data.
    QList<QPair<quint32, QByteArray>> appliedWrites() const;

private:
    const quint16 m_pid;
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimRegisterMouse> m_mouse;
};
