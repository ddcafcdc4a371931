#pragma once

#include "platform/sys/SystemMouseSettings.h"

#include <QByteArray>

#include <memory>

// The mouse settings of the desktop the program runs on: GSettings on GNOME-family desktops, the pointer
// devices' libinput acceleration on other X11 sessions, else none (NoSystemMouseSettings). Never null.
namespace Platform {

// Whether XDG_CURRENT_DESKTOP (a colon-separated list) names a desktop that keeps its mouse settings in GNOME's
// schema.
bool isGnomeFamilyDesktop(const QByteArray& currentDesktop);

std::unique_ptr<SystemMouseSettings> desktopMouseSettings();

} // namespace Platform
