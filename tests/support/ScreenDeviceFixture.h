#pragma once

#include "SimBusFixture.h"
#include "SimScreenFirmware.h"

#include <QJsonObject>

class ScreenTestDevice;

// A screen device on a fresh simulated bus, registered and opened as the current device (the registry makes
// ScreenTestDevice for it). Unplugs and deletes it again on destruction.
class ScreenDeviceFixture
{
public:
    explicit ScreenDeviceFixture(const QJsonObject& layout = QJsonObject());
    ~ScreenDeviceFixture();
    ScreenDeviceFixture(const ScreenDeviceFixture&) = delete;
    ScreenDeviceFixture& operator=(const ScreenDeviceFixture&) = delete;

    SimBus* bus() const { return m_bus.bus(); }
    SimScreenFirmware& firmware() { return m_firmware; }
    // Null when it could not be opened.
    ScreenTestDevice* device() const { return m_device; }
    int busId() const { return m_firmware.busDeviceId(); }

    // Marks the device removed and waits until the registry has deleted it.
    void removeDevice();

private:
    SimBusFixture m_bus;
    SimScreenFirmware m_firmware;
    ScreenTestDevice* m_device = nullptr;
};
