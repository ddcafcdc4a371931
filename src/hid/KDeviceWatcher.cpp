#include "hid/KDeviceWatcher.h"

#include "common/DeviceIds.h"
#include "hid/KPidTables.h"
#include "hid/khid/KHIDWatcher.h"
#include "hid/khid/KHidFunctions.h"
#include "platform/hid/HidPath.h"

#include <QDebug>

KDeviceWatcher::KDeviceWatcher(QObject* parent)
    : QObject(parent)
    , m_hidWatcher(new KHID::KHIDWatcher)
{
    connect(m_hidWatcher, &KHID::KHIDWatcher::sigHIDDeviceChange, this, &KDeviceWatcher::slot_equipmentChanged);
}

KDeviceWatcher::~KDeviceWatcher()
{
    disconnect(m_hidWatcher, nullptr, nullptr, nullptr);
    m_hidWatcher->unregisterDeviceNotify();
    m_hidWatcher->deleteLater();
    m_hidWatcher = nullptr;
}

bool KDeviceWatcher::registerWatch()
{
    return m_hidWatcher->registerDeviceNotify();
}

void KDeviceWatcher::unregisterWatch()
{
    m_hidWatcher->unregisterDeviceNotify();
}

// Ids are compared as numbers read from the path's vid_/pid_ tokens. Searching the hex text anywhere in
// the path would also match the same digits in an instance id or node name, so that an unrelated removal
// could close the open device. Only a path without tokens falls back to the text search.
bool KDeviceWatcher::pathHasVendor(const QString& devicePath, int vendorId)
{
    quint16 vid = 0;
    if (KHID::parseHidPathIds(devicePath, &vid, nullptr))
        return vid == vendorId;
    return devicePath.contains(QString::number(vendorId, 16), Qt::CaseInsensitive);
}

bool KDeviceWatcher::pathHasProduct(const QString& devicePath, int productId)
{
    quint16 pid = 0;
    if (KHID::parseHidPathIds(devicePath, nullptr, &pid))
        return pid == productId;
    return devicePath.contains(QString::number(productId, 16), Qt::CaseInsensitive);
}

int KDeviceWatcher::firstNamedBy(const QMap<int, QString>& map, const QString& devicePath)
{
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (pathHasProduct(devicePath, it.key()))
            return it.key();
    }
    return 0;
}

void KDeviceWatcher::acceptInterface(const KHID::KHidDetail& detail, bool& keepGoing)
{
    Q_UNUSED(keepGoing)
    if (detail.vendorId == DeviceIds::kVendorId && kPidNameTable.contains(detail.productId))
        m_equipment.insert(detail.productId, detail.devicePath);
}

void KDeviceWatcher::scanPresentDevices()
{
    m_equipment.clear();
    KHID::enumHidDevices([this](KHID::KHidDetail detail, bool& keepGoing) { acceptInterface(detail, keepGoing); });
}

bool KDeviceWatcher::enumerateDevices()
{
    if (m_currentPid != 0)
        return true;
    scanPresentDevices();
    if (m_equipment.isEmpty())
        return false;
    emit equipmentChanged(m_equipment, true);
    return true;
}

void KDeviceWatcher::slot_equipmentChanged(bool status, QString devicePath)
{
    if (!pathHasVendor(devicePath, DeviceIds::kVendorId))
        return;

    if (status) {
        // Every arrival re-announces the whole present set; the controller works out what is new.
        scanPresentDevices();
        if (!m_equipment.isEmpty())
            emit equipmentChanged(m_equipment, true);
        return;
    }

    if (m_currentPid != 0 && pathHasProduct(devicePath, m_currentPid)) {
        const int pid = m_currentPid;
        qDebug().noquote() << "[Info] remove" << QString::number(pid, 16) << kPidNameTable.value(pid);
        emit equipmentChanged({{pid, devicePath}}, false);
        m_equipment.remove(pid);
        m_currentPid = 0;
        if (!m_equipment.isEmpty())
            emit equipmentChanged(m_equipment, true);
        return;
    }

    const int pid = firstNamedBy(m_equipment, devicePath);
    if (pid == 0)
        return;
    if (m_currentPid != 0)
        qDebug().noquote() << "[INFO] remove" << QString::number(pid, 16) << kPidNameTable.value(pid);
    emit equipmentChanged({{pid, m_equipment.value(pid)}}, false);
    m_equipment.remove(pid);
}

void KDeviceWatcher::slot_deviceChanged(bool status, QString devicePath)
{
    if (!pathHasVendor(devicePath, DeviceIds::kVendorId))
        return;

    if (status) {
        const int old = m_currentPid;
        scanPresentDevices();
        if (old != 0) {
            if (m_secondary.contains(old)) {
                m_currentPid = pickCurrentPid();
                if (m_currentPid != old && m_currentPid != 0)
                    emit deviceChanged(m_currentPid, true);
            }
        } else {
            m_currentPid = pickCurrentPid();
            if (m_currentPid != 0)
                emit deviceChanged(m_currentPid, true);
        }
        return;
    }

    if (m_currentPid == 0)
        return;
    if (pathHasProduct(devicePath, m_currentPid)) {
        const int old = m_currentPid;
        qDebug().noquote() << "[INFO] remove" << QString::number(old, 16) << kPidNameTable.value(old);
        emit deviceChanged(old, false);
        if (m_primary.contains(old))
            m_primary.remove(old);
        else
            m_secondary.remove(old);
        m_currentPid = pickCurrentPid();
        if (m_currentPid == old)
            m_currentPid = 0;
        else if (m_currentPid != 0)
            emit deviceChanged(m_currentPid, true);
        return;
    }

    QMap<int, QString>* list = &m_primary;
    int pid = firstNamedBy(m_primary, devicePath);
    if (pid == 0) {
        list = &m_secondary;
        pid = firstNamedBy(m_secondary, devicePath);
    }
    if (pid == 0)
        return;
    qDebug().noquote() << "[INFO] remove" << QString::number(pid, 16) << devicePath;
    list->remove(pid);
}

int KDeviceWatcher::pickCurrentPid()
{
    const QMap<int, QString>& list = !m_primary.isEmpty() ? m_primary : m_secondary;
    if (list.isEmpty()) {
        qDebug() << "inser error";
        return 0;
    }
    const int pid = list.firstKey();
    qDebug().noquote() << "[INFO] inser" << QString::number(pid, 16) << kPidNameTable.value(pid);
    return pid;
}

void KDeviceWatcher::announceIfKnown(int pid)
{
    if (m_primary.contains(pid) || m_secondary.contains(pid))
        emit deviceChanged(pid, true);
}
