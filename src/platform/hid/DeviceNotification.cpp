#include "platform/hid/DeviceNotification.h"

#include "platform/hid/HidBackend.h"
#include "platform/hid/HidHotplugEvents.h"
#include "platform/hid/HidrawBackend.h"

#include <QSocketNotifier>

#include <cerrno>

#include <libudev.h>

namespace KHID {

DeviceNotification::DeviceNotification(QObject* parent)
    : QObject(parent)
{
}

DeviceNotification::~DeviceNotification()
{
    stop();
}

HidrawBackend* DeviceNotification::hidraw()
{
    // Describe nodes the way the backend in use does (it may look at another sysfs root).
    if (auto* backend = dynamic_cast<HidrawBackend*>(hidBackend()))
        return backend;
    if (!m_ownHidraw)
        m_ownHidraw = std::make_unique<HidrawBackend>();
    return m_ownHidraw.get();
}

bool DeviceNotification::start()
{
    if (m_active)
        return true;
    m_error = 0;
    if (HidHotplugEvents* events = hidBackend()->hotplugEvents()) {
        m_backendEvents = events;
        connect(events, &HidHotplugEvents::deviceArrived, this, &DeviceNotification::deviceArrived);
        connect(events, &HidHotplugEvents::deviceRemoved, this, &DeviceNotification::deviceRemoved);
        m_active = true;
        return true;
    }

    // Remember what is present now, so that the removal of a device plugged in before we started is
    // reported with the paths it had.
    m_nodePaths.clear();
    HidrawBackend* backend = hidraw();
    for (const QString& path : backend->enumerate())
        m_nodePaths[HidrawBackend::nodeOfPath(path)].append(path);

    m_active = startMonitor();
    return m_active;
}

bool DeviceNotification::startMonitor()
{
    errno = 0;
    m_udev = udev_new();
    if (!m_udev) {
        m_error = errno ? errno : ENOMEM;
        return false;
    }
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor
        || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(m_monitor) < 0) {
        m_error = errno ? errno : EIO;
        stopMonitor();
        return false;
    }
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DeviceNotification::readMonitor);
    return true;
}

void DeviceNotification::stopMonitor()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev)
        udev_unref(m_udev);
    m_udev = nullptr;
}

void DeviceNotification::stop()
{
    if (m_backendEvents)
        disconnect(m_backendEvents, nullptr, this, nullptr);
    m_backendEvents = nullptr;
    stopMonitor();
    m_active = false;
}

void DeviceNotification::readMonitor()
{
    // The monitor socket does not block: take everything that is queued.
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        const char* action = udev_device_get_action(device);
        const char* sysname = udev_device_get_sysname(device);
        if (action && sysname)
            handleNodeEvent(QString::fromLatin1(action), QString::fromLatin1(sysname));
        udev_device_unref(device);
    }
}

void DeviceNotification::handleNodeEvent(const QString& action, const QString& node)
{
    if (action == QLatin1String("add")) {
        // A node seen again without its removal: retract what it was before.
        const QStringList stale = m_nodePaths.take(node);
        for (const QString& path : stale)
            emit deviceRemoved(path);
        QStringList paths;
        for (const HidInterfaceInfo& info : hidraw()->describeNode(node))
            paths << info.path;
        if (paths.isEmpty())
            return;
        m_nodePaths.insert(node, paths);
        for (const QString& path : qAsConst(paths))
            emit deviceArrived(path);
    } else if (action == QLatin1String("remove")) {
        const QStringList paths = m_nodePaths.take(node);
        for (const QString& path : paths)
            emit deviceRemoved(path);
    }
}

} // namespace KHID
