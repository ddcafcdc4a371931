#pragma once

// The wired keyboard on the simulated bus for the benchmarks: the bus installed as the HID backend, the
// keyboard's emulator plugged, and the device object the factory makes for it, opened.

#include "common/DeviceIds.h"
#include "devices/keyboard/FDeviceQuenby_8a.h"
#include "hid/HDeviceManager.h"
#include "platform/sys/PlatformTime.h"
#include "sim/bus/SimBus.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include <QLoggingCategory>
#include <QTextStream>

#include <memory>

class BenchKeyboard
{
public:
    BenchKeyboard()
        : m_keyboard(std::make_unique<SimQuenbyKeyboard>())
    {
        SimBus::instance()->reset();
        SimBus::instance()->install();
        m_keyboard->plug(SimBus::instance());
        // Opening waits as the device asks; the measured part sets its own scale.
        Platform::setSleepScale(0.0);
        if (HDeviceManager::instance()->createDevice(DeviceIds::kKeyboardWired))
            m_device = qobject_cast<FDeviceQuenby_8a*>(HDeviceManager::instance()->getDevice(DeviceIds::kKeyboardWired));
        if (m_device && !m_device->initDevice())
            m_device = nullptr;
    }

    ~BenchKeyboard()
    {
        if (m_device) {
            m_device->setRemoved(true);
            HDeviceManager::instance()->removeDevice(DeviceIds::kKeyboardWired);
        }
        m_keyboard->unplug();
        SimBus::instance()->reset();
    }

    FDeviceQuenby_8a* device() const { return m_device; }
    SimQuenbyKeyboard* keyboard() const { return m_keyboard.get(); }

    // Output reports the program sent, as the bus recorded them.
    static int packetsSent()
    {
        int packets = 0;
        for (const SimTransfer& transfer : SimBus::instance()->transcript()) {
            if (transfer.isSend() && transfer.ok)
                ++packets;
        }
        return packets;
    }

private:
    std::unique_ptr<SimQuenbyKeyboard> m_keyboard;
    FDeviceQuenby_8a* m_device = nullptr;
};
