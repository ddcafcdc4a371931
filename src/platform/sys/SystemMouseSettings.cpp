#include "platform/sys/SystemMouseSettings.h"

#include <QtGlobal>

#include <cmath>

namespace Platform {

namespace {

constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 20;
constexpr int kDefaultSpeed = 10;
constexpr double kStep = 0.1;

SystemMouseSettings* g_installed = nullptr;

} // namespace

double accelerationOfSpeed(int speed)
{
    return qBound(-1.0, (qBound(kMinSpeed, speed, kMaxSpeed) - kDefaultSpeed) * kStep, 1.0);
}

int speedOfAcceleration(double acceleration)
{
    if (!std::isfinite(acceleration))
        return kDefaultSpeed;
    return qBound(kMinSpeed, int(std::lround(acceleration / kStep)) + kDefaultSpeed, kMaxSpeed);
}

SystemMouseSettings* systemMouseSettings()
{
    if (g_installed)
        return g_installed;
    static NoSystemMouseSettings none;
    return &none;
}

void setSystemMouseSettings(SystemMouseSettings* settings)
{
    g_installed = settings;
}

} // namespace Platform
