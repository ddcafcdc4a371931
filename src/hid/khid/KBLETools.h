#pragma once

#include <QString>

#include <functional>

struct udev_device;

namespace KHID {

// One Bluetooth device as the system lists it.
struct KBleDeviceInfo {
    QString friendlyName;
    QString hardwareId;
    QString service;
    QString instanceId;
};

// Lists the system's Bluetooth devices (adapters and their links).
class KBLETools
{
public:
    using Callback = std::function<void(KBleDeviceInfo, bool&)>;

    enum Property {
        FriendlyName,
        HardwareId,
        Service,
    };

    // Calls callback once per present device until it clears its keepGoing argument.
    static void enumDevices(Callback callback);

    static QString getDeviceProperty(udev_device* device, Property property);
    static QString getInstanceId(udev_device* device);
};

} // namespace KHID
