#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QSettings;

// One entry of the built-in device list: how to reach a Nordic mouse's HID interface and the product id its
// DFU bootloader shows up with.
struct DeviceInfo {
    QString name;
    int vid = 0;
    int pid = 0;
    int usage = 0;
    int usagePage = 0;
    int bootloadPid = 0;
};

// The built-in device list ":/resource/config/AppConfig.ini", read once.
//
// Threads: created on first use (thread-safe); read-only afterwards, so any thread may look entries up.
class KConfigControl : public QObject
{
    Q_OBJECT
public:
    static KConfigControl* instance();

    // Copies the first entry whose pid equals pid; false when none.
    bool findDeviceInfo(int pid, DeviceInfo* info) const;
    void writeDeviceInfo(const QList<DeviceInfo>& list);

    QList<DeviceInfo> deviceInfos() const { return m_devices; }
    QString rfData() const { return m_rfData; }

    // Reads another list file (tests and the default list when the built-in one is missing).
    explicit KConfigControl(const QString& fileName, QObject* parent = nullptr);
    ~KConfigControl() override;

private:
    QSettings* m_settings = nullptr;
    QString m_rfData;
    QList<DeviceInfo> m_devices;
};
