#include "app/KAppManager.h"
#include "hid/HDeviceManager.h"
#include "hid/KDeviceWatcher.h"
#include "hid/KPidTables.h"
#include "sim/SimulationSetup.h"

#include <QApplication>
#include <QMap>
#include <QTextStream>

// The user interface is not part of this build yet: Corvane starts, finds the attached devices (real ones
// through hidraw, or simulated ones with CORVANE_SIMULATE), reports them and ends.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        QTextStream(stderr) << "Corvane: no graphical session found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n";
        return 1;
    }
    QApplication app(argc, argv);
    KAppManager::instance()->init();

    setupSimulationFromEnvironment();

    QTextStream out(stdout);
    int exitCode = 0;
    {
        KDeviceWatcher watcher;
        QMap<int, QString> found;
        QObject::connect(&watcher, &KDeviceWatcher::equipmentChanged,
                         [&found](QMap<int, QString> equipment, bool status) {
                             if (status)
                                 found = equipment;
                         });
        if (!watcher.registerWatch()) {
            out << "Corvane: device notifications are not available; devices plugged in later are not seen\n";
            exitCode = 1;
        }
        watcher.enumerateDevices();

        if (found.isEmpty()) {
            out << "Corvane: no supported device found. Check the cable and the device access "
                   "(see README, \"Device access\").\n";
        }
        for (auto it = found.cbegin(); it != found.cend(); ++it) {
            out << "Corvane: found " << kPidNameTable.value(it.key()) << " (product id 0x"
                << QString::number(it.key(), 16) << ") at " << it.value() << '\n';
        }
        out << "Corvane: the user interface is not part of this build yet.\n";
        out.flush();
        watcher.unregisterWatch();
    }

    // Ordered shutdown: watching has stopped; the registry waits for device work, then lets the devices go.
    HDeviceManager::instance()->deleteAllDevices();
    return exitCode;
}
