#include "app/CommandLine.h"
#include "app/HeapRelease.h"
#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/LogHandler.h"
#include "app/SceneGraphBackend.h"
#include "platform/instance/QtSingleApplication.h"
#include "platform/crash/BreakpadHandler.h"
#include "devices/SimulatedModels.h"
#include "sim/SimulationSetup.h"

#include <QDebug>
#include <QTextStream>

#include <memory>

namespace {

// The single-instance key and the message a second start hands to the first.
const QString kInstanceKey = QStringLiteral("Corvane_1.2.1");
constexpr int kMessageTimeoutMs = 2000;

} // namespace

int main(int argc, char* argv[])
{
    // Before any thread exists: the program's few threads share two allocation arenas.
    HeapRelease::limitArenas();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        QTextStream(stderr) << "Corvane: no graphical session found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n";
        return 1;
    }

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine switches = CommandLine::parse(arguments);
    if (switches.log)
        installLogHandler();
    for (const QString& line : switches.ignored)
        qWarning().noquote() << line;
    if (switches.hasScale)
        KAppCommon::instance()->setScale(switches.scale);

    auto app = std::make_unique<QtSingleApplication>(kInstanceKey, argc, argv);
    if (app->isRunning()) {
        // The running copy shows its window; whether it answered in time changes nothing here.
        app->sendMessage(kInstanceKey, kMessageTimeoutMs);
        return 0;
    }

    // Before the application's name is set: Qt derives it from the program file, which is the same name.
    BreakpadHandler::installForProgram();
    SceneGraphBackend::choose();
    KAppCommon::instance()->autoScale(false);
    KAppManager* manager = KAppManager::instance();
    QObject::connect(app.get(), &QtSingleApplication::messageReceived, manager, &KAppManager::messageReceived);

    // CORVANE_SIMULATE: simulated devices on the bus in place of real ones, to try the program without hardware.
    if (setupSimulationFromEnvironment())
        useSimulatedModels(simulatedProductIds());

    int exitCode = 1;
    if (manager->init() && manager->start())
        exitCode = app->exec();
    // Devices, device work, the QML engine and the UI manager go while the application object still exists.
    manager->shutdown();
    return exitCode;
}
