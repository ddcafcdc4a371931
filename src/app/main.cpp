#include "app/KAppManager.h"
#include "common/AppServices.h"
#include "hid/HDeviceManager.h"
#include "hid/KDeviceController.h"
#include "hid/KPidTables.h"
#include "sim/SimulationSetup.h"

#include <QApplication>
#include <QMap>
#include <QTextStream>
#include <QThreadPool>

namespace {

// Runs what the open queued (the models' reads, the profile routines) to its end.
void finishDeviceWork(QApplication& app)
{
    for (int round = 0; round < 3; ++round) {
        QThreadPool::globalInstance()->waitForDone();
        app.processEvents();
    }
}

} // namespace

// The user interface is not part of this build yet: Corvane starts, finds the attached devices (real ones
// through hidraw, or simulated ones with CORVANE_SIMULATE), opens the one it would show with its profile,
// reports what it did and ends.
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
    KDeviceController* devices = KDeviceController::instance();
    QObject::connect(devices, &KDeviceController::sig_ShowNeedCable, [&out] {
        out << "Corvane: the keyboard is connected without its cable; connect the cable to configure it.\n";
    });
    devices->updateDeviceStatus();
    if (!devices->startWatch()) {
        out << "Corvane: device notifications are not available; devices plugged in later are not seen\n";
        exitCode = 1;
    }
    finishDeviceWork(app);

    const QMap<int, QString> found = devices->presentEquipment();
    if (found.isEmpty()) {
        out << "Corvane: no supported device found. Check the cable and the device access "
               "(see README, \"Device access\").\n";
    }
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        out << "Corvane: found " << kPidNameTable.value(it.key()) << " (product id 0x"
            << QString::number(it.key(), 16) << ") at " << it.value() << '\n';
    }
    if (devices->online()) {
        out << "Corvane: opened " << kPidNameTable.value(devices->getPid()) << " with the profile \""
            << AppServices::instance()->getConfigPath() << "\"\n";
    } else if (devices->getPid() != 0) {
        out << "Corvane: " << kPidNameTable.value(devices->getPid())
            << " could not be opened; unplug it and plug it in again.\n";
        exitCode = 1;
    }
    out << "Corvane: the user interface is not part of this build yet.\n";
    out.flush();

    // Ordered shutdown: stop watching and close the device, let device work end, then let the devices go.
    devices->shutdown();
    finishDeviceWork(app);
    HDeviceManager::instance()->deleteAllDevices();
    return exitCode;
}
