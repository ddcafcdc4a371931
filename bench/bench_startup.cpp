// Starts Corvane as its main() does, with the simulated keyboard, in a real window (run it under a virtual X
// server: xvfb-run -a build/bench_startup), and prints:
// - the time from process start to the main window's first frame,
// - the resident memory once the program is idle, and where it goes: the heap (what malloc holds and uses), what
//   loading the window and its documents added, the pictures the window's images hold decoded, the font files and
//   the libraries mapped, and the largest libraries,
// - the longest time between two frames while a profile is applied from the profile page as a click on its card
//   does, with the window asking for a new frame after every frame (device work must never hold the GUI thread).

#include "app/HeapRelease.h"
#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/SceneGraphBackend.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "devices/SimulatedModels.h"
#include "sim/SimulationSetup.h"
#include "sim/bus/SimBus.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QLoggingCategory>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QRegularExpression>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>

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

// Resident memory by kind of mapping, in kilobytes, from /proc/self/smaps.
struct Mappings
{
    double anonymous = 0;  // malloc's arenas and large blocks, the script heap, thread stacks, driver buffers
    double brkHeap = 0;    // the main arena ([heap])
    double libraries = 0;  // shared objects, code and data
    double fonts = 0;      // font files and font caches mapped by the font engine
    double program = 0;    // the program file: its code and the resources compiled into it
    double otherFiles = 0; // any other mapped file (locale data, icon caches, ...)
    QMap<QString, double> byLibrary;
};

Mappings readMappings()
{
    Mappings m;
    QFile smaps("/proc/self/smaps");
    if (!smaps.open(QIODevice::ReadOnly))
        return m;
    const QString programPath = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    QString path;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.isEmpty() || fields.first().isEmpty())
            continue;
        if (fields.first().contains('-') && !fields.first().endsWith(':')) {
            path = fields.size() >= 6 ? QString::fromLocal8Bit(fields.mid(5).join(' ')) : QString();
            continue;
        }
        if (fields.first() != "Rss:")
            continue;
        const double kb = fields.value(1).toDouble();
        const QString name = QFileInfo(path).fileName();
        if (path.isEmpty() || (path.startsWith(QLatin1Char('[')) && path != QLatin1String("[heap]")))
            m.anonymous += kb;
        else if (path == QLatin1String("[heap]"))
            m.brkHeap += kb;
        else if (path == programPath)
            m.program += kb;
        else if (name.contains(QLatin1String(".so"))) {
            m.libraries += kb;
            m.byLibrary[name] += kb;
        } else if (path.contains(QLatin1String("font"), Qt::CaseInsensitive) || name.endsWith(QLatin1String(".ttf"))
                   || name.endsWith(QLatin1String(".otf")) || name.endsWith(QLatin1String(".ttc")))
            m.fonts += kb;
        else
            m.otherFiles += kb;
    }
    return m;
}

// What malloc holds from the system and what of it is in use, in kilobytes.
struct Heap
{
    double held = 0;
    double inUse = 0;
};

Heap readHeap()
{
    const struct mallinfo2 info = mallinfo2();
    return {double(info.arena + info.hblkhd) / 1024.0, double(info.uordblks + info.hblkhd) / 1024.0};
}

// The window's items, and the pictures its images hold decoded (each picture once, four bytes a pixel).
struct WindowFigures
{
    int items = 0;
    int pictures = 0;
    double pictureKb = 0;
};

WindowFigures windowFigures(QQuickWindow* window)
{
    WindowFigures figures;
    QMap<QString, double> pictures;
    QList<QQuickItem*> pending{window->contentItem()};
    while (!pending.isEmpty()) {
        QQuickItem* item = pending.takeLast();
        ++figures.items;
        pending += item->childItems();
        if (item->inherits("QQuickImageBase")) {
            const QString source = item->property("source").toUrl().toString();
            const QSize size = item->property("sourceSize").toSize();
            if (!source.isEmpty() && item->property("status").toInt() == 1 /* Ready */)
                pictures.insert(source + QString::number(size.width()), double(size.width()) * size.height() * 4 / 1024.0);
        }
    }
    figures.pictures = pictures.size();
    for (double kb : pictures)
        figures.pictureKb += kb;
    return figures;
}

QString mb(double kb) { return QString::number(kb / 1024.0, 'f', 1) + QStringLiteral(" MB"); }

// The profile page of the window, made as the navigation makes it when the user goes there.
QObject* profilePage(QQuickWindow* window)
{
    if (window->metaObject()->indexOfMethod("page(QVariant)") >= 0) {
        QVariant made;
        QMetaObject::invokeMethod(window, "page", Q_RETURN_ARG(QVariant, made), Q_ARG(QVariant, 1));
    }
    return window->findChild<QObject*>(QStringLiteral("page1"));
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
    HeapRelease::limitArenas(); // as main() does
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
    // Before the window and its documents are loaded.
    const double rssBeforeWindowMb = residentMegabytes();
    const Heap heapBeforeWindow = readHeap();
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
    const Heap heap = readHeap();
    const Mappings mappings = readMappings();
    const WindowFigures figures = windowFigures(window);

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

    // A card of the profile page clicked: the page applies that profile (the current one, or the factory
    // profile copied in when the device has none yet).
    QObject* page = profilePage(window);
    if (!page) {
        out << "the window has no profile page\n";
        return 1;
    }
    const QString folder = page->property("mConfigPath").toString().replace(QRegularExpression("^file:///"), "/");
    QString name = QFileInfo(KAppModel::instance()->getConfigPath()).completeBaseName();
    if (name.isEmpty() || !QFile::exists(folder + QLatin1Char('/') + name + QStringLiteral(".json"))) {
        name = QStringLiteral("frames");
        QDir().mkpath(folder);
        QFile::copy(DeviceIds::factoryProfilePath(DeviceIds::kKeyboardWired), folder + QStringLiteral("/frames.json"));
    }
    SimBus::instance()->clearTranscript();
    QElapsedTimer applying;
    applying.start();
    QMetaObject::invokeMethod(page, "applyConfig", Q_ARG(QVariant, 1), Q_ARG(QVariant, name));
    const qint64 callNs = applying.nsecsElapsed();
    wait(4000);
    const double applyWindowMs = applying.nsecsElapsed() / 1e6;

    out << sceneGraph << "\n";
    out << "first frame after process start: " << QString::number(firstFrameMs, 'f', 1) << " ms (target < 300)\n";
    out << "resident memory when idle: " << QString::number(idleMb, 'f', 1) << " MB (target < 80)\n";
    out << "  heap: " << mb(heap.held) << " held from the system, " << mb(heap.inUse) << " in use\n";
    out << "  window and its documents (items, scripts, pictures): " << QString::number(idleMb - rssBeforeWindowMb, 'f', 1)
        << " MB resident, " << mb(heap.inUse - heapBeforeWindow.inUse) << " of heap, " << figures.items << " items\n";
    out << "  pictures held decoded by the window's images: " << mb(figures.pictureKb) << " in " << figures.pictures
        << " pictures\n";
    out << "  fonts mapped: " << mb(mappings.fonts) << "\n";
    out << "  libraries mapped: " << mb(mappings.libraries) << " in " << mappings.byLibrary.size() << " libraries; largest:";
    QList<QPair<double, QString>> libraries;
    for (auto it = mappings.byLibrary.cbegin(); it != mappings.byLibrary.cend(); ++it)
        libraries.append({it.value(), it.key()});
    std::sort(libraries.begin(), libraries.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (int i = 0; i < qMin(5, libraries.size()); ++i)
        out << (i ? ", " : " ") << libraries.at(i).second << " " << mb(libraries.at(i).first);
    out << "\n";
    out << "  anonymous mappings (heap arenas, script heap, stacks, buffers): " << mb(mappings.anonymous)
        << ", main arena " << mb(mappings.brkHeap) << ", the program file " << mb(mappings.program)
        << ", other files " << mb(mappings.otherFiles) << "\n";
    out << "longest gap between frames while idle: " << QString::number(quietGapNs / 1e6, 'f', 1) << " ms\n";
    out << "longest gap between frames while a profile is applied: " << QString::number(longestGapNs / 1e6, 'f', 1)
        << " ms over " << frameCount << " frames in " << QString::number(applyWindowMs, 'f', 0)
        << " ms (target < 16); the page's apply call returned after " << QString::number(callNs / 1e6, 'f', 1)
        << " ms\n";
    int reports = 0;
    for (const SimTransfer& transfer : SimBus::instance()->transcript())
        reports += transfer.isSend() && transfer.ok ? 1 : 0;
    out << "reports sent to the keyboard while the profile was applied: " << reports << "\n";
    out.flush();
    manager->shutdown();
    return 0;
}
