#include "hid/KDeviceController.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceWatcher.h"
#include "hid/KPidTables.h"
#include "platform/hid/HidBackend.h"
#include "profiles/ProfileNames.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>

namespace {

// The warning the open shows when a device cannot be initialised.
constexpr int kInitFailedWarning = 0;

// The lowest firmware each model runs with. Models without a row run with any version. Apart from the
// keyboard, the rows are mice, whose firmware counts major * 256 + minor.
struct FirmwareMinimum {
    quint16 pid;
    int version;
};
constexpr FirmwareMinimum kFirmwareMinimums[] = {
    {DeviceIds::kKeyboardWired, 0x74},
    {DeviceIds::kAbberly, 0x03},          {DeviceIds::kAbberlyWireless, 0x03},
    {DeviceIds::kBalsom, 0x05},           {DeviceIds::kBalsomWireless, 0x05},
    {DeviceIds::kBrackly, 0x08},          {DeviceIds::kBracklyWireless, 0x08},
    {DeviceIds::kCorlis, 0x0A},           {DeviceIds::kCorlisWireless, 0x0A},
    {DeviceIds::kDallow, 0x10},           {DeviceIds::kDallowWireless, 0x10},
    {DeviceIds::kElwin, 0x12},            {DeviceIds::kElwinWireless, 0x12},
    {DeviceIds::kFarrant, 0x20},          {DeviceIds::kFarrantWireless, 0x20},
    {DeviceIds::kGadsby, 0x25},           {DeviceIds::kGadsbyWireless, 0x25},
    {DeviceIds::kHebden, 0x30},           {DeviceIds::kHebdenWireless, 0x30},
    {DeviceIds::kIckwor, 0x42},           {DeviceIds::kIckworWireless, 0x42},
    {DeviceIds::kJarrow, 0x50},           {DeviceIds::kJarrowWireless, 0x50},
    {DeviceIds::kJarrowNordic, 0x100},    {DeviceIds::kJarrowNordicWireless, 0x100},
    {DeviceIds::kKelham, 0x60},           {DeviceIds::kKelhamWireless, 0x60},
    {DeviceIds::kKelhamNordic, 0x100},    {DeviceIds::kKelhamNordicWireless, 0x100},
    {DeviceIds::kTolland, 0x205},         {DeviceIds::kTollandWireless, 0x205},
};

// The system whose devices need a firmware of their own unless their layout says otherwise.
const char* const kOldWindows = "Windows; Windows NT 6.1";

bool layoutFlag(KBaseDevice* device, const char* key)
{
    if (!device)
        return false;
    const QJsonObject* layout = device->getLayout();
    return layout && layout->value(QLatin1String(key)).toBool(false);
}

QList<int> sortedPids(const QMap<int, QString>& map)
{
    return map.keys(); // QMap keys come sorted
}

} // namespace

KDeviceController* KDeviceController::instance()
{
    static KDeviceController controller;
    return &controller;
}

KDeviceController::KDeviceController()
    : m_watcher(new KDeviceWatcher(this))
{
    connect(m_watcher, &KDeviceWatcher::equipmentChanged, this, &KDeviceController::slot_deviceMiddleLayer);
    connect(this, &KDeviceController::sig_selectEquipment, this, &KDeviceController::slot_deviceChange);
}

KDeviceController::~KDeviceController() = default;

KBaseDevice* KDeviceController::currentDevice() const
{
    return HDeviceManager::instance()->getDevice(-1);
}

bool KDeviceController::init(AppServices* services)
{
    if (!services)
        return false;
    m_services = services;
    services->linkDeviceController(this);
    m_initialised = true;
    return true;
}

bool KDeviceController::startWatch()
{
    return m_watcher->registerWatch();
}

void KDeviceController::stopWatch()
{
    m_watcher->unregisterWatch();
}

bool KDeviceController::updateDeviceStatus()
{
    return m_watcher->enumerateDevices();
}

QString KDeviceController::mouse() const
{
    qDebug() << "mouse:" << m_mouse;
    return m_mouse;
}

void KDeviceController::setFlag(int flag)
{
    m_flag = flag;
    emit flagChanged();
}

void KDeviceController::setDeviceType(int deviceType)
{
    m_deviceType = deviceType;
    emit deviceTypeChanged();
}

QString KDeviceController::getMouseName() const
{
    const QString name = kPidNameTable.value(m_pid);
    qDebug() << "mouse:" << name;
    return name;
}

QString KDeviceController::getOsName()
{
    return QStringLiteral("Linux; %1; %2").arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion());
}

bool KDeviceController::checkSystemInfo()
{
    return !(getOsName() == QLatin1String(kOldWindows) && !layoutFlag(currentDevice(), "win7Update"));
}

int KDeviceController::minimumFirmwareVersion(int pid)
{
    for (const FirmwareMinimum& row : kFirmwareMinimums) {
        if (row.pid == pid)
            return row.version;
    }
    return 0;
}

void KDeviceController::firmwareGate()
{
    KBaseDevice* device = m_device.data();
    if (!device || device->isRemoved())
        return;
    // Taken here: the pool thread reads nothing of the controller.
    const int pid = m_pid;
    const bool win7Update = layoutFlag(device, "win7Update");
    enum Verdict { Pass = 0, Update = 1, SystemNotice = 2 };
    m_work.run(
        [device, pid, win7Update] {
            const int version = device->getFwVersion();
            if (version == -1)
                return int(Pass);
            if (version >= minimumFirmwareVersion(pid))
                return int(Pass);
            if (getOsName() != QLatin1String(kOldWindows) || win7Update)
                return int(Update);
            return int(SystemNotice);
        },
        [this, device](int verdict) {
            if (device != m_device.data() || device->isRemoved())
                return;
            if (verdict == Update)
                emit needUpdateFirmware();
            else if (verdict == SystemNotice)
                emit sig_showSystemNotice();
        });
}

bool KDeviceController::slot_reloadMouse()
{
    KBaseDevice* device = m_device.data();
    if (!device || device->isRemoved()) {
        qDebug() << "[Info] reload: no device is open";
        return true;
    }
    AppServices* app = AppServices::instance();
    app->startLoading(kLoadingMs);
    m_work.run([device] { return device->enterGameMode(); },
               [this, device](bool ok) {
                   AppServices* app = AppServices::instance();
                   if (!ok || device != m_device.data() || device->isRemoved()) {
                       app->stopLoading();
                       app->startWarning(kInitFailedWarning);
                       return;
                   }
                   emit device->sigStartThread();
                   emit oledChanged();
                   emit currentDpiIndexChanged();
                   startAnalytics();
                   const QJsonObject* layout = device->getLayout();
                   profileStep(layout ? layout->value(QLatin1String("deviceName")).toString() : QString());
                   afterOpen();
               });
    return true;
}

void KDeviceController::shutdown()
{
    stopWatch();
    m_deferred.clear();
    if (m_device)
        closeDevice(m_pid);
    m_present.clear();
    m_listed.clear();
    m_lastChange.clear();
    m_closeButtonPending = false;
    m_reconnected = false;
    m_watcher->setCurrentPid(0);
}

// --- equipment events -----------------------------------------------------------------------------------

void KDeviceController::runOrQueue(std::function<void()> step)
{
    if (m_opening) {
        m_deferred.append(std::move(step));
        return;
    }
    step();
}

void KDeviceController::slot_deviceMiddleLayer(QMap<int, QString> equipment, bool status)
{
    runOrQueue([this, equipment, status] {
        if (status)
            arrival(equipment);
        else
            removal(equipment);
    });
}

void KDeviceController::slot_deviceChange(int pid, bool status)
{
    runOrQueue([this, pid, status] {
        if (status)
            openDevice(pid);
        else
            closeDevice(pid);
    });
}

QMap<int, QString> KDeviceController::filterWireless(const QMap<int, QString>& equipment)
{
    QMap<int, QString> filtered = equipment;
    for (auto it = equipment.cbegin(); it != equipment.cend(); ++it) {
        const int wireless = kWirelessPidTable.value(it.key(), 0);
        if (wireless != 0)
            filtered.remove(wireless);
    }
    return filtered;
}

bool KDeviceController::sameEquipment(QMap<int, QString>& stored, const QMap<int, QString>& equipment, bool status)
{
    if (stored.isEmpty() && equipment.isEmpty())
        return true;
    if (stored.isEmpty() || equipment.isEmpty()) {
        stored = equipment;
        m_lastChange = sortedPids(equipment);
        return false;
    }
    if (stored.size() == equipment.size()) {
        const QList<int> before = sortedPids(stored);
        const QList<int> after = sortedPids(equipment);
        if (before == after)
            return true;
        const auto diff = std::mismatch(before.cbegin(), before.cend(), after.cbegin());
        qDebug() << "it.first:" << *diff.first << "it.second:" << *diff.second;
        // The newest pid is one the new set brings; the ones it lost are gone.
        m_lastChange.clear();
        for (int pid : after) {
            if (!stored.contains(pid))
                m_lastChange.append(pid);
        }
        stored = equipment;
        return false;
    }
    return !applyEquipmentDifference(stored, equipment, !status);
}

bool KDeviceController::applyEquipmentDifference(QMap<int, QString>& stored, const QMap<int, QString>& equipment,
                                                 bool removal)
{
    m_lastChange.clear();
    if (!removal) {
        for (auto it = equipment.cbegin(); it != equipment.cend(); ++it) {
            if (!stored.contains(it.key())) {
                stored.insert(it.key(), it.value());
                m_lastChange.append(it.key());
                return true;
            }
        }
        return false;
    }
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (!equipment.contains(it.key())) {
            const int pid = it.key();
            qDebug() << "it:" << pid;
            stored.remove(pid);
            m_lastChange.append(pid);
            return true;
        }
    }
    return false;
}

void KDeviceController::showEquipmentList()
{
    emit sig_equipmentListChanged(m_listed);
}

void KDeviceController::arrival(const QMap<int, QString>& equipment)
{
    if (m_present.isEmpty()) {
        if (sameEquipment(m_present, equipment, true))
            return;
        if (sameEquipment(m_listed, filterWireless(m_present), true))
            return;
        showEquipmentList();
        if (m_listed.size() == 1) {
            openDevice(m_listed.firstKey());
            emit sig_showMChangeEquipment(false);
        } else {
            emit sig_showSelectEquipment(true);
            emit sig_showMChangeEquipment(true);
            emit sig_showCloseEquipmentBtn(true);
            if (m_closeButtonPending) {
                emit sig_showCloseEquipmentBtn(false);
                m_closeButtonPending = false;
            }
        }
        return;
    }

    if (sameEquipment(m_present, equipment, true))
        return;
    const int newest = newestPid();
    const int wired = kWirelessPidTable.key(newest, 0);
    const int wireless = kWirelessPidTable.value(newest, 0);
    qDebug() << "hhhh:" << newest << "test:" << wired;

    if (!m_listed.contains(newest) && wireless != 0 && m_listed.contains(wireless)) {
        // The cable of a model whose wireless link is listed: the wired id takes its place.
        m_listed.remove(wireless);
        m_listed.insert(newest, m_present.value(newest));
        showEquipmentList();
        if (m_device && m_pid == wireless)
            openDevice(newest);
        else if (m_listed.size() == 1 && !m_device)
            openDevice(newest);
        return;
    }
    if (!m_listed.contains(newest) && wired != 0 && m_listed.contains(wired))
        return;
    if (newest == 0)
        return;
    m_listed.insert(newest, m_present.value(newest));
    showEquipmentList();
    emit sig_showSelectEquipment(true);
}

void KDeviceController::removal(const QMap<int, QString>& equipment)
{
    if (equipment.isEmpty())
        return;
    const int removed = equipment.firstKey();
    const bool isOpen = m_device && removed == m_pid;

    if (removed == DeviceIds::kKeyboardWireless && !isOpen && !m_online && m_present.size() <= 1) {
        m_present.clear();
        m_listed.clear();
        m_lastChange.clear();
        showEquipmentList();
        return;
    }
    if (isOpen) {
        closeDevice(m_pid);
        if (m_present.size() > 1)
            m_closeButtonPending = true;
        m_present.clear();
        m_listed.clear();
        m_lastChange.clear();
        showEquipmentList();
        return;
    }
    const int wireless = kWirelessPidTable.value(removed, 0);
    if (m_present.contains(removed) && wireless != 0 && m_present.contains(wireless)) {
        // The cable went and the model's wireless link stays.
        m_present.remove(removed);
        m_listed.remove(removed);
        m_listed.insert(wireless, m_present.value(wireless));
        m_lastChange = {wireless};
        showEquipmentList();
        if (m_listed.size() == 1 && !(m_device && m_pid == wireless)) {
            openDevice(wireless);
            emit sig_showMChangeEquipment(false);
        }
        return;
    }
    // Any other device that went: it leaves both lists.
    if (!m_present.contains(removed) && !m_listed.contains(removed))
        return;
    m_present.remove(removed);
    m_listed.remove(removed);
    m_lastChange = {removed};
    showEquipmentList();
}

// --- open and close -------------------------------------------------------------------------------------

void KDeviceController::retireCurrent()
{
    KBaseDevice* device = m_device.data();
    const int pid = m_pid;
    m_device.clear();
    m_pid = 0;
    if (m_online) {
        m_online = false;
        emit onlineChanged();
    }
    m_watcher->setCurrentPid(0);
    if (device) {
        device->setRemoved(true);
        HDeviceManager::instance()->removeDevice(pid);
    }
}

void KDeviceController::openDevice(int pid)
{
    if (pid == DeviceIds::kKeyboardWireless) {
        emit sig_ShowNeedCable();
        return;
    }
    AppServices* app = AppServices::instance();
    m_mouse.clear();
    setFlag(-1);
    app->stopWarning();
    retireCurrent();

    // The open below waits for the device with the event loop running: whatever arrives meanwhile is
    // handled once it is over, so no event can close or replace the device under it.
    m_opening = true;
    HDeviceManager* registry = HDeviceManager::instance();
    KBaseDevice* created = registry->createDevice(pid) ? registry->getDevice(pid) : nullptr;
    // Without a device of its own the product id has no current device, not the one opened before.
    if (!created)
        registry->clearCurrent();
    QPointer<KBaseDevice> device(created);
    m_pid = pid;
    m_device = device;
    m_watcher->setCurrentPid(pid);
    emit sig_showCloseEquipmentBtn(true);
    // The profile the settings keep for this product id, now that the id is known (at start-up the
    // settings were read while no device was open, and found none).
    app->useRememberedProfile();
    if (m_reconnected)
        emit sig_updateConfigPath();

    QString deviceName;
    bool ok = false;
    app->startLoading(kLoadingMs);
    if (device) {
        emit sig_deviceCreated(device);
        const QJsonObject* layout = device->getLayout();
        deviceName = layout ? layout->value(QLatin1String("deviceName")).toString() : QString();
        setDeviceType(layout ? layout->value(QLatin1String("deviceType")).toInt(0) : 0);
        KHID::clearOpenFailure();
        ok = device->initDevice();
        // The device may have been deleted or retired by someone else while the open waited.
        ok = ok && device && device == m_device && !device->isRemoved();
    }
    m_opening = false;

    if (!ok) {
        const QString name = kPidNameTable.value(pid);
        openFailed(!name.isEmpty() ? name : !deviceName.isEmpty() ? deviceName : QStringLiteral("0x%1").arg(pid, 0, 16));
    } else {
        qDebug() << "open device!!!";
        m_online = true;
        emit onlineChanged();
        // The models reload only now, from a device that is ready for them.
        emit imageModelChanged();
        emit reportChanged();
        emit dpiChanged();
        emit lightChanged();
        emit keyChanged();
        emit powerChanged();
        emit keyLightChanged();
        if (m_initialised) {
            const QString name = kPidNameTable.value(pid);
            if (!name.isEmpty()) {
                setMouse(name);
                emit mouseChanged();
            }
            emit oledChanged();
            emit currentDpiIndexChanged();
            startAnalytics();
            profileStep(deviceName);
            afterOpen();
        } else {
            app->stopLoading();
        }
    }

    // What arrived during the open, in order; a step may start another open, which queues the rest again.
    while (!m_deferred.isEmpty() && !m_opening)
        m_deferred.takeFirst()();
}

QString KDeviceController::openFailureMessage(const QString& deviceName, int error)
{
    if (error == 0)
        return tr("%1 could not be opened: it did not answer. Unplug it, plug it in again and wait a few seconds.")
            .arg(deviceName);
    // clang-format off
    const QString advice = error == EACCES || error == EPERM
        ? tr("This user may not use the device. Run scripts/install-deps.sh once: it puts the device rule /etc/udev/rules.d/70-corvane.rules in place. Then unplug the device and plug it in again.")
        : tr("Unplug the device and plug it in again.");
    // clang-format on
    return tr("%1 could not be opened: %2.").arg(deviceName, KHID::systemErrorText(error)) + QLatin1Char(' ') + advice;
}

void KDeviceController::openFailed(const QString& deviceName)
{
    AppServices* app = AppServices::instance();
    app->stopLoading();
    app->startWarning(kInitFailedWarning);
    // Every device, not only a receiver: the user learns which device stays closed and why. A device object
    // that never came to be (an unknown product id) was not opened at all.
    const KHID::HidOpenFailure failure = KHID::lastOpenFailure();
    qWarning().noquote() << "[ERROR] the device could not be opened:" << deviceName << failure.path
                         << KHID::systemErrorText(failure.error);
    if (m_device)
        app->showOpenFailure(openFailureMessage(deviceName, failure.error));
    app->sendEvent(AnalyticsEvents::kDeviceInitialization, AnalyticsEvents::kInitDevice, AnalyticsEvents::kFail);
    qWarning() << "[ERROR] 显示初始化失败提示";
    // The device object stays until it is removed or another one opens; it is not online.
    if (m_online) {
        m_online = false;
        emit onlineChanged();
    }
}

void KDeviceController::afterOpen()
{
    emit sig_readDeviceVersion();
    firmwareGate();
    AppServices::instance()->stopLoading();
}

void KDeviceController::startAnalytics()
{
    AppServices::instance()->startAnalytics(m_reconnected ? kPidNameTable.value(m_pid) : QString());
}

void KDeviceController::closeDevice(int pid)
{
    Q_UNUSED(pid)
    m_mouse.clear();
    setFlag(-1);
    AppServices::instance()->stopWarning();
    retireCurrent();
    m_reconnected = true;
}

// --- the device's profile -------------------------------------------------------------------------------

QString KDeviceController::defaultProfileName()
{
    // The name on disk is the same in every language, as the profile files name it.
    return ProfileNames::defaultProfileFile();
}

bool KDeviceController::folderHasFile(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || name.isEmpty())
        return false;
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return entries.contains(name);
}

bool KDeviceController::hasDefaultProfile(const QString& folder)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return false;
    return dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name).contains(defaultProfileName());
}

void KDeviceController::profileStep(const QString& deviceName)
{
    // The device's name comes from its layout and becomes a folder: it must be a bare name.
    if (deviceName.isEmpty() || deviceName.contains(QLatin1Char('/')) || deviceName == QLatin1String(".")
        || deviceName == QLatin1String("..")) {
        qWarning() << "[ERROR] profile step skipped: the device has no usable name" << deviceName;
        return;
    }
    const QString folder = ProgramFolders::profileRoot() + QLatin1Char('/') + deviceName;
    if (!QFileInfo(folder).isDir()) {
        const bool made = QDir().mkpath(folder);
        qDebug() << "mkdir:" << made;
        if (!made || !QFileInfo(folder).isDir()) {
            // Without its folder the profile would land wherever the program happens to run.
            qWarning() << "[ERROR] profile step skipped: the profile folder cannot be made" << folder;
            return;
        }
    }
    AppServices* app = AppServices::instance();
    QString name = app->getConfigPath();
    if (!folderHasFile(folder, name)) {
        name = defaultProfileName();
        app->setMouseConfig(name, true);
        emit sig_profileNameReset();
    }
    QString path = folder + QLatin1Char('/') + name;
    const bool exists = QFileInfo::exists(path);
    emit sig_profileChosen(folder, path);
    if (exists)
        emit deviceChanedFinished(path);
}
