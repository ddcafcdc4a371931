#pragma once

#include <QString>

// The desktop's mouse settings that the program offers to change: the pointer speed (1..20, 10 the desktop's
// default) and the lines one notch of the wheel scrolls (-1: a page). Linux has no setting that every desktop
// honours: a backend speaks to one desktop's own setting (src/platform/desktop), and where none applies the
// settings are not offered at all, so the page never shows a control that changes nothing.
//
// Threads: GUI thread.
namespace Platform {

class SystemMouseSettings
{
public:
    virtual ~SystemMouseSettings() = default;

    // Whether this desktop has the setting: the page offers only these.
    virtual bool offersPointerSpeed() const = 0;
    virtual bool offersWheelLines() const = 0;

    // False when the value cannot be read; *value is then left as it was.
    virtual bool readPointerSpeed(int* value) = 0;
    virtual bool writePointerSpeed(int value) = 0;
    virtual bool readWheelLines(int* value) = 0;
    virtual bool writeWheelLines(int value) = 0;
};

// The backend of a desktop with neither setting: nothing is offered, every read and write fails.
class NoSystemMouseSettings : public SystemMouseSettings
{
public:
    bool offersPointerSpeed() const override { return false; }
    bool offersWheelLines() const override { return false; }
    bool readPointerSpeed(int*) override { return false; }
    bool writePointerSpeed(int) override { return false; }
    bool readWheelLines(int*) override { return false; }
    bool writeWheelLines(int) override { return false; }
};

// The pointer speed 1..20 as the acceleration the desktops keep (-1..1, 0 their default) and back: 10 is 0,
// each step a tenth. A speed read back from any acceleration lies within 1..20.
double accelerationOfSpeed(int speed);
int speedOfAcceleration(double acceleration);

// The process's backend: the installed one, else one that offers nothing. Never null.
SystemMouseSettings* systemMouseSettings();
// Installs a backend (the caller keeps it); null puts the one that offers nothing back.
void setSystemMouseSettings(SystemMouseSettings* settings);

} // namespace Platform
