#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>

#include <functional>

class KBaseDevice;

// The registry of device objects by product id. It creates a device object for a product id, remembers the
// current one, and deletes unplugged devices only once no device task is pending, so that no queued call runs
// against a deleted object. Lives on the GUI thread and is called only there.
class HDeviceManager : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<KBaseDevice*(int pid)>;

    static HDeviceManager* instance();

    // Registers a new device object for pid and makes it current; false when no device class serves pid.
    // A device still registered under pid is retired: marked removed and deleted once nothing is pending.
    bool createDevice(const int& pid);
    KBaseDevice* deviceFactory(const int& pid);
    // -1 means the current device. Null when nothing is registered under the id.
    KBaseDevice* getDevice(const int& pid) const;
    // Deletes the device under pid if it is flagged removed and no task is pending; otherwise it is deleted
    // after the last pending task.
    void removeDevice(const int& pid);
    bool isBusy() const;
    // Product id of the current device: the one created last.
    int currentPid() const { return m_currentPid; }
    // No device is current any more (the device controller found no device class for the id it opens); the
    // device objects stay registered until they are deleted.
    void clearCurrent() { m_currentPid = 0; }
    // Whether any device object waits for deletion.
    bool hasRemovedDevice() const;

    // Builds device objects in place of the product classes; tests use it for devices of their own.
    // An empty factory restores the product one.
    void setFactory(Factory factory);

    // Shutdown: waits for the device tasks of the thread pool, then deletes every device object at once,
    // also those whose deferred deletion has not run yet (their reader threads end with them).
    void deleteAllDevices();

public slots:
    void slot_destoryDevice();

private:
    HDeviceManager();
    ~HDeviceManager() override;

    // Deleted from the event loop: the call may come from a signal of the device's own executor.
    void scheduleDeletion(KBaseDevice* device);
    QList<KBaseDevice*> takeAllDevices();

    int m_currentPid = 0;
    QMap<int, KBaseDevice*> m_devices;
    // Devices replaced under their product id while tasks could still reach them.
    QList<KBaseDevice*> m_retired;
    // Handed to deleteLater and perhaps not deleted yet.
    QList<QPointer<KBaseDevice>> m_doomed;
    Factory m_factory;
};
