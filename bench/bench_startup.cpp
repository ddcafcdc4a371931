// Starts Corvane as its main() does, with the simulated keyboard, in a real window (run it under a virtual X
// server: xvfb-run -a build/bench_startup), and prints:
// - the time from process start to the main window's first frame,
// - the resident memory once the program is idle,
// - the longest time between two frames while a whole profile is applied from the window, with the window
//   asking for a new frame after every frame (device work must never hold the GUI thread).

#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/SceneGraphBackend.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "devices/SimulatedModels.h"
#include "profiles/KConfigFileController.h"
#include "sim/SimulationSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <unistd.h>

namespace {

// Milliseconds since this process started, from the kernel's start time of the process.
double msSinceProcessStart()
{
    QFile stat("/proc/self/stat");
    QFile uptime("/proc/uptime");
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray statText = stat.readAll();
    // Fields after the command name (which may hold blanks) start after the last ')'.
    const QList<QByteArray> fields = statText.mid(statText.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return (upSeconds - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

double residentMegabytes()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

void wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    const double startToMain = msSinceProcessStart();
    if (qEnvironmentVariableIsEmpty("CORVANE_SIMULATE"))
        qputenv("CORVANE_SIMULATE", "ZEPHRA");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.info=false"));
    QTextStream out(stdout);

    if (!setupSimulationFromEnvironment()) {
        out << "the simulated keyboard could not be set up\n";
        return 1;
    }
    useSimulatedModels(simulatedProductIds());
    // As main() does: the renderer is chosen before the first window.
    const QString sceneGraph = SceneGraphBackend::choose();

    double firstFrameMs = -1;
    KAppManager* manager = KAppManager::instance();
    if (!manager->init()) {
        out << "the program did not start\n";
        return 1;
    }
    // The window exists once load() returns; its first frame comes from the event loop.
    QObject::connect(manager->getUIManager()->getEngine(), &QQmlApplicationEngine::objectCreated, &app,
                     [&](QObject* object) {
                         auto* window = qobject_cast<QQuickWindow*>(object);
                         if (!window)
                             return;
                         QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&] {
                             if (firstFrameMs < 0)
                                 firstFrameMs = startToMain + sinceMain.nsecsElapsed() / 1e6;
                         });
                     });
    if (!manager->start()) {
        out << "the main window did not load\n";
        return 1;
    }
    QElapsedTimer limit;
    limit.start();
    while (firstFrameMs < 0 && limit.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    auto* window = qobject_cast<QQuickWindow*>(manager->getUIManager()->getEngine()->rootObjects().value(0));
    if (!window || firstFrameMs < 0) {
        out << "no frame within 10 s\n";
        return 1;
    }

    // Idle: the device is read, the tips have faded.
    wait(3000);
    const double idleMb = residentMegabytes();

    // Continuous frames while the profile is applied; the longest gap between two frames is the stall.
    QElapsedTimer frames;
    qint64 lastFrameNs = -1;
    qint64 longestGapNs = 0;
    int frameCount = 0;
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&] {
        const qint64 now = frames.nsecsElapsed();
        if (lastFrameNs >= 0)
            longestGapNs = qMax(longestGapNs, now - lastFrameNs);
        lastFrameNs = now;
        ++frameCount;
        window->update();
    });
    frames.start();
    window->update();
    wait(300); // the frame rate before the work starts
    const qint64 quietGapNs = longestGapNs;
    longestGapNs = 0;

    auto* profiles = manager->getUIManager()->getEngine()->rootContext()
                         ->contextProperty("g_configFileController").value<KConfigFileController*>();
    QString profile = KAppModel::instance()->getConfigPath();
    if (profile.isEmpty() || !QFile::exists(profile))
        profile = DeviceIds::factoryProfilePath(DeviceIds::kKeyboardWired);
    QElapsedTimer applying;
    applying.start();
    profiles->readConfigData(profile);
    wait(4000);
    const double applyWindowMs = applying.nsecsElapsed() / 1e6;

    out << sceneGraph << "\n";
    out << "first frame after process start: " << QString::number(firstFrameMs, 'f', 1) << " ms (target < 300)\n";
    out << "resident memory when idle: " << QString::number(idleMb, 'f', 1) << " MB (target < 80)\n";
    out << "longest gap between frames while idle: " << QString::number(quietGapNs / 1e6, 'f', 1) << " ms\n";
    out << "longest gap between frames while a profile is applied: " << QString::number(longestGapNs / 1e6, 'f', 1)
        << " ms over " << frameCount << " frames in " << QString::number(applyWindowMs, 'f', 0)
        << " ms (target < 16)\n";
    out.flush();
    manager->shutdown();
    return 0;
}
