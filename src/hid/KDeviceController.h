#pragma once

#include <QObject>

class KBaseDevice;

// The one device front of the program: every model and page reaches the open device through
// currentDevice().
//
// Threads: GUI thread only. One instance per process, created on first use.
class KDeviceController : public QObject
{
    Q_OBJECT
public:
    static KDeviceController* instance();

    // The device object of the current product id; null when no device is present. A device that has been
    // unplugged stays current (marked removed) until it is deleted: callers test isRemoved() too.
    KBaseDevice* currentDevice() const;

private:
    KDeviceController();
    ~KDeviceController() override;
};
