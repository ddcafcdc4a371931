#pragma once

#include <QString>

// The operating system's mouse settings that the program offers to change: the pointer speed (1..20) and the
// lines one notch of the wheel scrolls (-1: a page). Linux has no such settings that every desktop honours,
// so the default backend keeps the values in a settings file of the program and reports them back; a
// desktop's own backend can be installed in its place.
//
// Threads: GUI thread.
namespace Platform {

class SystemMouseSettings
{
public:
    virtual ~SystemMouseSettings() = default;

    // False when the value cannot be read; *value is then left as it was.
    virtual bool readPointerSpeed(int* value) = 0;
    virtual bool writePointerSpeed(int value) = 0;
    virtual bool readWheelLines(int* value) = 0;
    virtual bool writeWheelLines(int value) = 0;
};

// A backend that keeps the values in an INI file at path (empty: "SystemMouse.ini" in the program's
// configuration folder, as it is at each access), with the system's usual values (speed 10, three lines) until
// others are written.
class SettingsFileMouseSettings : public SystemMouseSettings
{
public:
    static constexpr int kDefaultPointerSpeed = 10;
    static constexpr int kDefaultWheelLines = 3;

    explicit SettingsFileMouseSettings(const QString& path = QString());

    bool readPointerSpeed(int* value) override;
    bool writePointerSpeed(int value) override;
    bool readWheelLines(int* value) override;
    bool writeWheelLines(int value) override;

    QString path() const;

private:
    bool read(const char* key, int fallback, int* value) const;
    bool write(const char* key, int value);

    QString m_path;
};

// The process's backend: the installed one, else the settings-file one of the program. Never null.
SystemMouseSettings* systemMouseSettings();
// Installs a backend (the caller keeps it); null puts the settings-file one back.
void setSystemMouseSettings(SystemMouseSettings* settings);

} // namespace Platform
