#include "platform/desktop/DesktopMouseSettings.h"

#include "platform/desktop/GSettingsMouseSettings.h"
#include "platform/desktop/XInputMouseSettings.h"

#include <QDebug>
#include <QList>

namespace Platform {

bool isGnomeFamilyDesktop(const QByteArray& currentDesktop)
{
    static const QList<QByteArray> kFamily{"GNOME", "GNOME-Flashback", "GNOME-Classic", "Unity", "Budgie",
                                           "Pantheon"};
    for (const QByteArray& name : currentDesktop.split(':')) {
        for (const QByteArray& member : kFamily) {
            if (name.compare(member, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

std::unique_ptr<SystemMouseSettings> desktopMouseSettings()
{
    if (isGnomeFamilyDesktop(qgetenv("XDG_CURRENT_DESKTOP"))) {
        if (auto gnome = GSettingsMouseSettings::create()) {
            qDebug() << "[Info] system mouse settings: GSettings" << GSettingsMouseSettings::kSchema;
            return gnome;
        }
    }
    if (qgetenv("XDG_SESSION_TYPE") != "wayland") {
        if (auto property = xinputAccelProperty()) {
            auto xinput = std::make_unique<XInputMouseSettings>(std::move(property));
            if (xinput->offersPointerSpeed()) {
                qDebug() << "[Info] system mouse settings: libinput acceleration of the X11 pointers";
                return xinput;
            }
        }
    }
    qDebug() << "[Info] system mouse settings: none on this desktop";
    return std::make_unique<NoSystemMouseSettings>();
}

} // namespace Platform
