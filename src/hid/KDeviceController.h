#pragma once

#include "hid/HWork.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class AppServices;
class KBaseDevice;
class KDeviceWatcher;

// The one device front of the program ("g_deviceCtl"): every model and page reaches the open device through
// currentDevice(). It owns the hot-plug watch, keeps the list of present devices the device list shows,
// decides whether to open a device at once or to let the user choose, opens the chosen device, tells the
// models to reload, picks the device's profile and retires devices that went away.
//
// The controller decides which device is current: it creates the device object through the registry, which
// makes it current, and works on the object it created (never on whatever the registry holds). The models and pages are reached upwards only through
// the signals below (the models' own layer connects them, see models/DeviceModelLinks.h) and through
// AppServices.
//
// Threads: GUI thread only, apart from the firmware gate, which runs on the pool through the controller's own
// executor and hands its verdict back to the GUI thread. One instance per process, created on first use.
class KDeviceController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool online READ online WRITE setOnline NOTIFY onlineChanged)
    Q_PROPERTY(QString mouse READ mouse WRITE setMouse NOTIFY mouseChanged)
    Q_PROPERTY(int flag READ flag WRITE setFlag NOTIFY flagChanged)
    Q_PROPERTY(int deviceType READ deviceType WRITE setDeviceType NOTIFY deviceTypeChanged)
public:
    static KDeviceController* instance();

    // The device object the controller made current; null when none was opened or the last open found no
    // device class. A closed device stays current, marked removed, until it is deleted or another opens:
    // callers test isRemoved() too.
    KBaseDevice* currentDevice() const;
    KDeviceWatcher* deviceWatcher() const { return m_watcher; }

    // Connects the models of services to the controller's signals (through services' links) and marks the
    // controller initialised. False, connecting nothing, for null services.
    bool init(AppServices* services);
    bool isInitialised() const { return m_initialised; }

    Q_INVOKABLE bool startWatch();
    Q_INVOKABLE void stopWatch();
    Q_INVOKABLE bool updateDeviceStatus();
    // False only on the one system whose devices need a firmware of their own (never on Linux); true without
    // a device.
    Q_INVOKABLE bool checkSystemInfo();
    Q_INVOKABLE int getPid() const { return m_pid; }

    bool online() const { return m_online; }
    void setOnline(bool online) { m_online = online; }
    QString mouse() const;
    void setMouse(const QString& mouse) { m_mouse = mouse; }
    int flag() const { return m_flag; }
    void setFlag(int flag);
    int deviceType() const { return m_deviceType; }
    void setDeviceType(int deviceType);

    // The model name of the open device, for usage analytics.
    QString getMouseName() const;
    // The system as usage analytics reports it: "Linux; " + the distribution's name and version (from
    // /etc/os-release) + "; " + the kernel release.
    static QString getOsName();

    // Queues the firmware-version check of the open device on the controller's executor: a version below the
    // model's minimum asks the user to update (needUpdateFirmware). Nothing without an open device.
    void firmwareGate();
    // The lowest firmware version the model runs with; 0 when any version will do.
    static int minimumFirmwareVersion(int pid);

    // Ends everything the controller holds: stops watching, closes the open device, forgets the lists and
    // the connection history. The shutdown runs it before the devices are deleted; tests run it between cases.
    void shutdown();

    // The equipment the device list shows: the present devices without the wireless id of a model whose
    // wired id is present too.
    QMap<int, QString> listedEquipment() const { return m_listed; }
    QMap<int, QString> presentEquipment() const { return m_present; }
    static QMap<int, QString> filterWireless(const QMap<int, QString>& equipment);
    // Whether folder (which must exist) has an entry named exactly name.
    static bool folderHasFile(const QString& folder, const QString& name);
    // Whether folder holds the default profile.
    static bool hasDefaultProfile(const QString& folder);
    // The profile a newly opened device starts with when its remembered one is missing.
    static QString defaultProfileName();

    // How long the loading overlay of an open or reopen stays up at most.
    static constexpr int kLoadingMs = 2000;

signals:
    void onlineChanged();
    void deviceChanged();
    void reportChanged();
    void dpiChanged();
    void lightChanged();
    void keyChanged();
    void imageModelChanged();
    void mouseChanged();
    void configChanged();
    void flagChanged();
    void deviceTypeChanged();
    void oledChanged();
    void currentDpiIndexChanged();
    void powerChanged();
    void keyLightChanged();
    void deviceChanedFinished(QString& path);
    void needUpdateFirmware();
    void sig_showSystemNotice();
    void sig_ShowNeedCable();
    void sig_showSelectEquipment(bool status);
    void sig_showMChangeEquipment(bool status);
    void sig_showCloseEquipmentBtn(bool status);
    void sig_selectEquipment(int pid, bool status);

    // Upward calls to the layers above, connected by the models' links:
    // a new device object, whose own signals go to the models that show what it reports;
    void sig_deviceCreated(KBaseDevice* device);
    // the device list's content changed;
    void sig_equipmentListChanged(QMap<int, QString> equipment);
    // the profile step chose path (in folder) for the opened device: create it from the factory profile and
    // apply it when it does not exist, else show it; then refresh the profile list;
    void sig_profileChosen(QString folder, QString path);
    // the profile list's current entry may have changed;
    void sig_profileNameReset();
    // the firmware version shown in the interface is to be read again.
    void sig_readDeviceVersion();
    // The current profile's name was set again for a reconnected device.
    void sig_updateConfigPath();

public slots:
    // Reopens live reporting of the current device and runs the profile step again; always true (the outcome
    // arrives later, a failure as warning 0).
    bool slot_reloadMouse();

private slots:
    void slot_deviceMiddleLayer(QMap<int, QString> equipment, bool status);
    void slot_deviceChange(int pid, bool status);

private:
    KDeviceController();
    ~KDeviceController() override;

    void openDevice(int pid);
    void closeDevice(int pid);
    // Marks the open device removed and hands it to the registry, which deletes it once no task uses it.
    void retireCurrent();
    void openFailed(const QString& deviceName);
public:
    // What the user is told when a device could not be opened: which device, the system's reason when an
    // interface refused to open (an errno value, 0 when it opened but did not answer), and what to do.
    static QString openFailureMessage(const QString& deviceName, int error);
private:
    void arrival(const QMap<int, QString>& equipment);
    void removal(const QMap<int, QString>& equipment);
    void showEquipmentList();
    // The profile step of an open or a reopen: the device's folder, its profile (the default one when the
    // remembered one is missing), then the models' links do the rest.
    void profileStep(const QString& deviceName);
    void startAnalytics();
    // What follows a successful open or reopen: readings for the interface and the firmware check.
    void afterOpen();

    bool sameEquipment(QMap<int, QString>& stored, const QMap<int, QString>& equipment, bool status);
    bool applyEquipmentDifference(QMap<int, QString>& stored, const QMap<int, QString>& equipment, bool removal);
    int newestPid() const { return m_lastChange.isEmpty() ? 0 : m_lastChange.last(); }
    // Runs now, or after the open in progress when one is (its nested waits let events through).
    void runOrQueue(std::function<void()> step);

    KDeviceWatcher* m_watcher = nullptr;
    bool m_initialised = false;
    AppServices* m_services = nullptr;
    bool m_online = false;
    QString m_mouse;
    int m_flag = 0;
    int m_deviceType = 0;
    int m_pid = 0;
    QPointer<KBaseDevice> m_device;
    bool m_reconnected = false;
    QMap<int, QString> m_listed;
    QMap<int, QString> m_present;
    QList<int> m_lastChange;
    bool m_closeButtonPending = false;
    // An open is running; equipment events and choices that arrive meanwhile wait here.
    bool m_opening = false;
    QList<std::function<void()>> m_deferred;
    HWork m_work;
};
