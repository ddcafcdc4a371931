#pragma once

#include "SettingsMouseDevice.h"
#include "SimBusFixture.h"
#include "SimSettingsMouse.h"

#include <QJsonObject>

#include <memory>

// The settings mouse on a fresh simulated bus, made the current device: the device manager builds a
// SettingsMouseDevice for it, which is opened with the given layout document. Tests reach the firmware side
// through mouse(), the bus (faults) through bus(), the device object through device().
class SettingsMouseFixture
{
public:
    explicit SettingsMouseFixture(const QJsonObject& layout = QJsonObject());
    ~SettingsMouseFixture();
    SettingsMouseFixture(const SettingsMouseFixture&) = delete;
    SettingsMouseFixture& operator=(const SettingsMouseFixture&) = delete;

    // Null when the device could not be created or opened.
    SettingsMouseDevice* device() const { return m_device; }
    SimSettingsMouse* mouse() const { return m_mouse.get(); }
    SimBus* bus() const { return m_bus->bus(); }
    int busId() const { return m_mouse->busDeviceId(); }

    // Unplugs the mouse, marks the device removed and lets the manager delete it; false when it did not go.
    bool removeDevice();

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimSettingsMouse> m_mouse;
    SettingsMouseDevice* m_device = nullptr;
};
