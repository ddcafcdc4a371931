#include "hid/khid/KHIDWatcher.h"

#include "platform/hid/DeviceNotification.h"

#include <QDebug>

namespace KHID {

KHIDWatcher::KHIDWatcher() = default;

KHIDWatcher::~KHIDWatcher()
{
    unregisterDeviceNotify();
}

bool KHIDWatcher::registerDeviceNotify()
{
    // Registering twice would deliver every event twice.
    if (m_registered)
        return true;
    auto* notification = new DeviceNotification(this);
    if (!notification->start()) {
        qDebug().noquote() << "error: RegisterDeviceNotification, code:" << notification->error();
        delete notification;
        return false;
    }
    connect(notification, &DeviceNotification::deviceArrived, this,
            [this](const QString& path) { emit sigHIDDeviceChange(true, path); });
    connect(notification, &DeviceNotification::deviceRemoved, this,
            [this](const QString& path) { emit sigHIDDeviceChange(false, path); });
    m_notification = notification;
    m_registered = true;
    return true;
}

void KHIDWatcher::unregisterDeviceNotify()
{
    m_registered = false;
    if (!m_notification)
        return;
    // May run inside one of its own signals, so the source is stopped now and deleted later.
    disconnect(m_notification, nullptr, this, nullptr);
    m_notification->stop();
    m_notification->deleteLater();
    m_notification = nullptr;
}

} // namespace KHID
