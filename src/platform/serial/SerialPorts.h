#pragma once

#include <QList>
#include <QString>

// The serial ports of the machine with the USB ids of the device behind each, in place of the system's
// serial-port listing. Two backends: udev (tty devices and their USB parent's ids) and the simulated bus.
namespace Platform {

struct SerialPortInfo {
    QString portName;   // what a tool opens: the device node ("/dev/ttyACM0")
    quint16 vendorId = 0;
    quint16 productId = 0;
    bool hasIds = false;   // false for ports without a USB device behind them
};

// Threads: availablePorts may be called from any thread.
class SerialPortBackend
{
public:
    virtual ~SerialPortBackend() = default;
    virtual QList<SerialPortInfo> availablePorts() = 0;
};

// The ports present now, through the installed backend (udev when none is installed).
QList<SerialPortInfo> availableSerialPorts();
// Installs a backend (null puts udev back); the caller keeps ownership.
void setSerialPortBackend(SerialPortBackend* backend);
SerialPortBackend* serialPortBackend();

} // namespace Platform
