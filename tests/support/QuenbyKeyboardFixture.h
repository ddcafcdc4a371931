#pragma once

#include "SimBusFixture.h"

#include "sim/keyboard/SimQuenbyKeyboard.h"

#include <QList>

#include <memory>

class FDeviceQuenby_8a;

// The wired keyboard on a fresh simulated bus, and the device object the factory makes for it. Tests reach
// the emulator through keyboard() and the driver through createDevice()/openDevice().
class QuenbyKeyboardFixture
{
public:
    QuenbyKeyboardFixture();
    ~QuenbyKeyboardFixture();
    QuenbyKeyboardFixture(const QuenbyKeyboardFixture&) = delete;
    QuenbyKeyboardFixture& operator=(const QuenbyKeyboardFixture&) = delete;

    SimBusFixture* bus() const { return m_bus.get(); }
    SimQuenbyKeyboard* keyboard() const { return m_keyboard.get(); }
    bool isPlugged() const { return m_keyboard->isPlugged(); }

    // The factory's device for the wired keyboard (created on first use); null when the factory refuses.
    FDeviceQuenby_8a* createDevice();
    // createDevice() and its opening; the keyboard's command log and the recorded sleeps start empty after
    // it. Null when the opening failed.
    FDeviceQuenby_8a* openDevice();
    // Marks the device removed, lets the manager delete it and waits for that; false when it did not go.
    bool removeDevice();

    // Registers of the writes the keyboard carried out, in order.
    QList<quint32> writtenRegisters() const;

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimQuenbyKeyboard> m_keyboard;
};
