#include "platform/sys/SystemMouseSettings.h"

#include "common/ProgramFolders.h"

#include <QSettings>

namespace Platform {

namespace {

const QString kGroup = QStringLiteral("SystemMouse");
SystemMouseSettings* g_installed = nullptr;

} // namespace

SettingsFileMouseSettings::SettingsFileMouseSettings(const QString& path)
    : m_path(path)
{
}

QString SettingsFileMouseSettings::path() const
{
    return m_path.isEmpty() ? ProgramFolders::configLocation() + QStringLiteral("/SystemMouse.ini") : m_path;
}

bool SettingsFileMouseSettings::read(const char* key, int fallback, int* value) const
{
    QSettings settings(path(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return false;
    settings.beginGroup(kGroup);
    const QVariant stored = settings.value(QLatin1String(key));
    if (!stored.isValid()) {
        *value = fallback;
        return true;
    }
    bool ok = false;
    const int number = stored.toInt(&ok);
    if (!ok)
        return false;
    *value = number;
    return true;
}

bool SettingsFileMouseSettings::write(const char* key, int value)
{
    QSettings settings(path(), QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue(QLatin1String(key), value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool SettingsFileMouseSettings::readPointerSpeed(int* value)
{
    return read("pointerSpeed", kDefaultPointerSpeed, value);
}

bool SettingsFileMouseSettings::writePointerSpeed(int value)
{
    return write("pointerSpeed", value);
}

bool SettingsFileMouseSettings::readWheelLines(int* value)
{
    return read("wheelLines", kDefaultWheelLines, value);
}

bool SettingsFileMouseSettings::writeWheelLines(int value)
{
    return write("wheelLines", value);
}

SystemMouseSettings* systemMouseSettings()
{
    if (g_installed)
        return g_installed;
    static SettingsFileMouseSettings settingsFile;
    return &settingsFile;
}

void setSystemMouseSettings(SystemMouseSettings* settings)
{
    g_installed = settings;
}

} // namespace Platform
