#include "KConfigControl.h"

#include "common/DeviceIds.h"

#include <QFile>
#include <QSettings>

namespace {

const QString kBuiltInList = QStringLiteral(":/resource/config/AppConfig.ini");

// The list written when the file is missing.
QList<DeviceInfo> defaultList()
{
    using namespace DeviceIds;
    const auto entry = [](const char* name, quint16 pid, quint16 boot) {
        return DeviceInfo{QString::fromLatin1(name), kVendorId, pid, 14, 0xFF00, boot};
    };
    return {
        entry("JARROW-2.4g", mousePid("JARROW_NORDIC", true), kNordicDfuWireless),
        entry("MALDON-2.4g", mousePid("KELHAM_NORDIC", true), kNordicDfuWireless),
        entry("JARROW", mousePid("JARROW_NORDIC"), kNordicDfuWired),
        entry("MALDON", mousePid("KELHAM_NORDIC"), kNordicDfuMaldon),
        entry("MARWEN", mousePid("MARWEN"), kNordicDfuWired),
        entry("MARWEN-2.4g", mousePid("MARWEN", true), kNordicDfuWireless),
    };
}

} // namespace

KConfigControl* KConfigControl::instance()
{
    static KConfigControl control(kBuiltInList);
    return &control;
}

KConfigControl::KConfigControl(const QString& fileName, QObject* parent)
    : QObject(parent)
{
    const bool exists = QFile::exists(fileName);
    m_settings = new QSettings(fileName, QSettings::IniFormat, this);
    if (!exists) {
        m_settings->setValue(QStringLiteral("RFdata"), QStringLiteral("1"));
        m_settings->sync();
        m_settings->setValue(QStringLiteral("FwFileName"), QStringLiteral("FARRANT_nRF52820_Dongle_USB_DFU.zip"));
        m_settings->sync();
        writeDeviceInfo(defaultList());
    }
    m_rfData = m_settings->value(QStringLiteral("RFdata")).toString();
    const int size = m_settings->beginReadArray(QStringLiteral("DeviceInfo"));
    for (int i = 0; i < size; ++i) {
        m_settings->setArrayIndex(i);
        DeviceInfo info;
        info.name = m_settings->value(QStringLiteral("name")).toString();
        info.vid = m_settings->value(QStringLiteral("vid")).toString().toInt();
        info.pid = m_settings->value(QStringLiteral("pid")).toString().toInt();
        info.usage = m_settings->value(QStringLiteral("usage")).toString().toInt();
        info.usagePage = m_settings->value(QStringLiteral("usagePage")).toString().toInt();
        info.bootloadPid = m_settings->value(QStringLiteral("bootloadPid")).toString().toInt();
        m_devices.append(info);
    }
    m_settings->endArray();
}

KConfigControl::~KConfigControl() = default;

bool KConfigControl::findDeviceInfo(int pid, DeviceInfo* info) const
{
    for (const DeviceInfo& d : m_devices) {
        if (d.pid == pid) {
            if (info)
                *info = d;
            return true;
        }
    }
    return false;
}

void KConfigControl::writeDeviceInfo(const QList<DeviceInfo>& list)
{
    m_settings->beginWriteArray(QStringLiteral("DeviceInfo"));
    for (int i = 0; i < list.size(); ++i) {
        m_settings->setArrayIndex(i);
        const DeviceInfo& d = list.at(i);
        m_settings->setValue(QStringLiteral("name"), d.name);
        m_settings->setValue(QStringLiteral("vid"), d.vid);
        m_settings->setValue(QStringLiteral("pid"), d.pid);
        m_settings->setValue(QStringLiteral("usage"), d.usage);
        m_settings->setValue(QStringLiteral("usagePage"), d.usagePage);
        m_settings->setValue(QStringLiteral("bootloadPid"), d.bootloadPid);
    }
    m_settings->endArray();
    m_settings->sync();
}
