#include "platform/serial/SerialPorts.h"

#include <QByteArray>

#include <libudev.h>

#include <atomic>

namespace Platform {
namespace {

// tty devices whose USB parent tells its ids.
class UdevSerialPorts : public SerialPortBackend
{
public:
    QList<SerialPortInfo> availablePorts() override
    {
        QList<SerialPortInfo> ports;
        udev* context = udev_new();
        if (!context)
            return ports;
        udev_enumerate* enumerate = udev_enumerate_new(context);
        if (enumerate && udev_enumerate_add_match_subsystem(enumerate, "tty") >= 0
            && udev_enumerate_scan_devices(enumerate) >= 0) {
            udev_list_entry* entry = nullptr;
            udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
            {
                udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
                if (!device)
                    continue;
                const char* node = udev_device_get_devnode(device);
                udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
                if (node && usb) {
                    SerialPortInfo info;
                    info.portName = QString::fromLocal8Bit(node);
                    bool okVendor = false;
                    bool okProduct = false;
                    info.vendorId = QByteArray(udev_device_get_sysattr_value(usb, "idVendor")).toUShort(&okVendor, 16);
                    info.productId = QByteArray(udev_device_get_sysattr_value(usb, "idProduct")).toUShort(&okProduct, 16);
                    info.hasIds = okVendor && okProduct;
                    ports.append(info);
                }
                udev_device_unref(device);
            }
        }
        if (enumerate)
            udev_enumerate_unref(enumerate);
        udev_unref(context);
        return ports;
    }
};

UdevSerialPorts& udevPorts()
{
    static UdevSerialPorts ports;
    return ports;
}

std::atomic<SerialPortBackend*>& installed()
{
    static std::atomic<SerialPortBackend*> backend{nullptr};
    return backend;
}

} // namespace

SerialPortBackend* serialPortBackend()
{
    SerialPortBackend* backend = installed().load();
    return backend ? backend : &udevPorts();
}

void setSerialPortBackend(SerialPortBackend* backend)
{
    installed().store(backend);
}

QList<SerialPortInfo> availableSerialPorts()
{
    return serialPortBackend()->availablePorts();
}

} // namespace Platform
