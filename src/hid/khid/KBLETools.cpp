#include "hid/khid/KBLETools.h"

#include <QDebug>

#include <libudev.h>

namespace KHID {
namespace {

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

// The first of the device and its ancestors that carries the value.
QString fromAncestors(udev_device* device, const std::function<const char*(udev_device*)>& read)
{
    for (udev_device* d = device; d; d = udev_device_get_parent(d)) {
        if (const char* value = read(d))
            return text(value);
    }
    return QString();
}

} // namespace

void KBLETools::enumDevices(Callback callback)
{
    udev* context = udev_new();
    udev_enumerate* enumerate = context ? udev_enumerate_new(context) : nullptr;
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate, "bluetooth") < 0
        || udev_enumerate_scan_devices(enumerate) < 0) {
        qDebug() << "error: 获取设备集合失败";
        if (enumerate)
            udev_enumerate_unref(enumerate);
        if (context)
            udev_unref(context);
        return;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        KBleDeviceInfo info;
        info.friendlyName = getDeviceProperty(device, FriendlyName);
        info.hardwareId = getDeviceProperty(device, HardwareId);
        info.service = getDeviceProperty(device, Service);
        info.instanceId = getInstanceId(device);
        udev_device_unref(device);
        bool keepGoing = true;
        if (callback)
            callback(info, keepGoing);
        if (!keepGoing)
            break;
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
}

QString KBLETools::getDeviceProperty(udev_device* device, Property property)
{
    if (!device)
        return QString();
    switch (property) {
    case FriendlyName: {
        const QString name = text(udev_device_get_sysattr_value(device, "name"));
        return name.isEmpty() ? text(udev_device_get_sysname(device)) : name;
    }
    case HardwareId:
        return fromAncestors(device, [](udev_device* d) { return udev_device_get_property_value(d, "MODALIAS"); });
    case Service:
        return fromAncestors(device, [](udev_device* d) { return udev_device_get_driver(d); });
    }
    return QString();
}

QString KBLETools::getInstanceId(udev_device* device)
{
    return device ? text(udev_device_get_devpath(device)) : QString();
}

} // namespace KHID
