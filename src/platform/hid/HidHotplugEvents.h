#pragma once

#include <QObject>
#include <QString>

namespace KHID {

// Arrivals and removals that a HID backend announces itself, one event per collection path, emitted on the
// thread the backend lives in. Removal carries the path text of the arrival.
class HidHotplugEvents : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void deviceArrived(const QString& path);
    void deviceRemoved(const QString& path);
};

} // namespace KHID
