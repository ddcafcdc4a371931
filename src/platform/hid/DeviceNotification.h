#pragma once

// Arrival and removal of HID interfaces, one event per collection path, on the thread that owns the object
// (the GUI thread). A HID backend that announces its own events (the simulated bus) has them passed on; otherwise
// a udev monitor on the hidraw subsystem is read through a socket notifier. A removed hidraw node is gone
// from sysfs when its event arrives, so the paths announced for each node are kept and repeated on removal.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace KHID {

class HidrawBackend;

class DeviceNotification : public QObject
{
    Q_OBJECT
public:
    explicit DeviceNotification(QObject* parent = nullptr);
    ~DeviceNotification() override;

    // Starts watching. False when the system's device events cannot be received; error() says why
    // (an errno value).
    bool start();
    void stop();
    bool isActive() const { return m_active; }
    int error() const { return m_error; }

    // One hidraw event of the kernel ("add", "remove"; others are ignored) for node ("hidraw3").
    void handleNodeEvent(const QString& action, const QString& node);

signals:
    void deviceArrived(const QString& path);
    void deviceRemoved(const QString& path);

private:
    void readMonitor();
    HidrawBackend* hidraw();
    bool startMonitor();
    void stopMonitor();

    bool m_active = false;
    int m_error = 0;
    QPointer<QObject> m_backendEvents;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    std::unique_ptr<HidrawBackend> m_ownHidraw;
    QHash<QString, QStringList> m_nodePaths;
};

} // namespace KHID
