#pragma once

// Turns HID arrival and removal events into "equipment" events for the device controller: the map of our
// devices that are present (product id -> device path) and whether the event is an arrival or a removal.
// GUI thread only.

#include <QMap>
#include <QObject>
#include <QString>

namespace KHID {
class KHIDWatcher;
struct KHidDetail;
}

class KDeviceWatcher : public QObject
{
    Q_OBJECT
public:
    explicit KDeviceWatcher(QObject* parent = nullptr);
    ~KDeviceWatcher() override;

    bool registerWatch();
    void unregisterWatch();

    // Start-up scan: announces the present devices unless one is already open. False when none is present.
    bool enumerateDevices();
    // Refills the equipment map from the interfaces present now.
    void scanPresentDevices();

    int currentPid() const { return m_currentPid; }
    void setCurrentPid(const int& pid) { m_currentPid = pid; }

    // The older single-device path: it keeps one current device chosen from its own lists.
    int pickCurrentPid();
    void announceIfKnown(int pid);

    // Whether a device path names this vendor or product id.
    static bool pathHasVendor(const QString& devicePath, int vendorId);
    static bool pathHasProduct(const QString& devicePath, int productId);

signals:
    void deviceChanged(int pid, bool status);
    void equipmentChanged(QMap<int, QString> pid, bool status);

protected slots:
    void slot_deviceChanged(bool status, QString devicePath);
    void slot_equipmentChanged(bool status, QString devicePath);

private:
    void acceptInterface(const KHID::KHidDetail& detail, bool& keepGoing);
    // The first entry of map, in ascending product id, that the path names; 0 when none.
    static int firstNamedBy(const QMap<int, QString>& map, const QString& devicePath);

    KHID::KHIDWatcher* m_hidWatcher = nullptr;
    QMap<int, QString> m_equipment;
    QMap<int, QString> m_primary;
    QMap<int, QString> m_secondary;
    int m_currentPid = 0;
};
