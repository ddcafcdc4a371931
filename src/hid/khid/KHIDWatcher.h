#pragma once

// Receives the system's arrival and removal events for HID interfaces and hands each one on as
// sigHIDDeviceChange(arrival?, device path). Lives on the GUI thread; events flow only while registered.

#include <QObject>
#include <QString>

namespace KHID {

class DeviceNotification;

class KHIDWatcher : public QObject
{
    Q_OBJECT
public:
    KHIDWatcher();
    ~KHIDWatcher() override;

    // Starts receiving events. On failure logs the reason and returns false; the program then runs
    // without hot-plug events.
    bool registerDeviceNotify();
    void unregisterDeviceNotify();
    bool isRegistered() const { return m_registered; }

signals:
    void sigHIDDeviceChange(bool status, QString devicePath);

private:
    bool m_registered = false;
    DeviceNotification* m_notification = nullptr;
};

} // namespace KHID
