// Walks through the program as a user does and saves a picture of every page, for reviewing a change to what
// the window shows. It starts Corvane's own wiring with the simulated devices CORVANE_SIMULATE names (run it
// under a virtual X server; scripts/screenshots.sh does), chooses the first device when the device chooser
// asks, clicks every navigation entry the device offers and saves the window after each, then opens the
// dialogs a page leads to (the key settings, the macro editor, the busy indicator) and, with --popups, every
// numbered popup of the window.
//
// Usage: corvane_screens <output folder> <prefix> [--language en|zh] [--popups] [--scale <factor>]
// Pictures are named <prefix>_<language>_<step>_<what>.png. HOME should be a fresh folder: the tour writes the
// settings file (language, the web addresses pointed at this machine so that nothing leaves it) and a sample
// macro before the program starts. Exit code 0 when every step was reached, 1 when some step was missed (the
// pictures taken so far stay), 2 on wrong arguments.

#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/SceneGraphBackend.h"
#include "app/UIManager.h"
#include "common/ProgramFolders.h"
#include "devices/SimulatedModels.h"
#include "sim/SimulationSetup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QTextStream>

#include <functional>

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

// Runs the event loop until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Lets animations (page fades, the navigation bar's width, popups opening) run to their end.
void settle(int ms = 450)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QString typeOf(QObject* object)
{
    return object ? QString::fromLatin1(object->metaObject()->className()).section("_QMLTYPE_", 0, 0) : QString();
}

// Every object below root: QML children (items, popups and their contents) as well as QObject children.
void collect(QObject* root, QList<QObject*>* all)
{
    QList<QObject*> below = root->children();
    if (auto* item = qobject_cast<QQuickItem*>(root)) {
        for (QQuickItem* child : item->childItems()) {
            if (!below.contains(child))
                below << child;
        }
    }
    if (auto* window = qobject_cast<QQuickWindow*>(root))
        below << window->contentItem();
    for (QObject* child : below) {
        if (!child || all->contains(child))
            continue;
        all->append(child);
        collect(child, all);
    }
}

QList<QObject*> objectsBelow(QObject* root)
{
    QList<QObject*> all;
    if (root)
        collect(root, &all);
    return all;
}

QQuickItem* findItem(QObject* root, const QString& name)
{
    for (QObject* object : objectsBelow(root)) {
        auto* item = qobject_cast<QQuickItem*>(object);
        if (item && item->objectName() == name)
            return item;
    }
    return nullptr;
}

QObject* findObject(QObject* root, const QString& name)
{
    for (QObject* object : objectsBelow(root)) {
        if (object->objectName() == name)
            return object;
    }
    return nullptr;
}

bool isShown(QObject* root, const QString& type)
{
    for (QObject* object : objectsBelow(root)) {
        if (typeOf(object) == type && object->property("visible").toBool())
            return true;
    }
    return false;
}

QObject* contextObject(const QString& name)
{
    return KAppManager::instance()->getUIManager()->getEngine()->rootContext()->contextProperty(name).value<QObject*>();
}

class Tour
{
public:
    Tour(QQuickWindow* window, QString folder, QString prefix)
        : m_window(window)
        , m_folder(std::move(folder))
        , m_prefix(std::move(prefix))
    {
    }

    int missed() const { return m_missed; }

    void shoot(const QString& what)
    {
        settle();
        const QImage image = m_window->grabWindow();
        const QString name = QStringLiteral("%1_%2_%3.png").arg(m_prefix).arg(m_step++, 2, 10, QChar('0')).arg(what);
        if (image.isNull() || !image.save(QDir(m_folder).filePath(name))) {
            miss("could not save " + name);
            return;
        }
        out() << "  " << name << "\n";
        out().flush();
    }

    void miss(const QString& what)
    {
        ++m_missed;
        out() << "  missed: " << what << "\n";
        out().flush();
    }

    bool busy() const { return isShown(m_window, QStringLiteral("HLoadDialog_new")); }
    bool idle(int timeoutMs = 15000) const
    {
        return waitFor([this] { return !busy(); }, timeoutMs);
    }

    // A click at the centre of the item, where the user sees it.
    bool click(QQuickItem* item, Qt::MouseButton button = Qt::LeftButton)
    {
        if (!item || !item->isVisible())
            return false;
        idle();
        const QPoint at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
        QMouseEvent press(QEvent::MouseButtonPress, at, m_window->mapToGlobal(at), button, button, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, m_window->mapToGlobal(at), button, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(m_window, &press);
        QCoreApplication::sendEvent(m_window, &release);
        return true;
    }

    // The navigation entry of page n (an item named by its number that carries the entry's text).
    QQuickItem* entry(int n) const
    {
        QQuickItem* bar = findItem(m_window, QStringLiteral("navigationBar"));
        for (QObject* object : objectsBelow(bar)) {
            auto* item = qobject_cast<QQuickItem*>(object);
            if (item && item->objectName() == QString::number(n) && item->property("mText").isValid())
                return item;
        }
        return nullptr;
    }

    // The page shown in the page area, by object name.
    QString shownPage() const
    {
        QQuickItem* area = findItem(m_window, QStringLiteral("pageArea"));
        if (!area)
            return {};
        for (QQuickItem* page : area->childItems()) {
            if (page->isVisible())
                return page->objectName();
        }
        return {};
    }

    // Chooses the first device the chooser lists, once it asks.
    void chooseFirstDevice()
    {
        QObject* chooser = findObject(m_window, QStringLiteral("selectEquipment"));
        if (!chooser || !waitFor([&] { return chooser->property("visible").toBool(); }, 4000))
            return;
        QQuickItem* list = findItem(m_window, QStringLiteral("equipmentList"));
        waitFor([&] { return list && firstEntry(list); }, 4000);
        shoot(QStringLiteral("device_chooser"));
        if (!click(firstEntry(list)) || !waitFor([&] { return !chooser->property("visible").toBool(); }, 5000))
            miss(QStringLiteral("choosing a device"));
    }

    void visitPages()
    {
        static const QMap<int, QString> names = {{1, "profiles"}, {2, "dpi"},     {3, "keys"},
                                                 {4, "oled"},     {5, "light"},   {6, "sharing"},
                                                 {7, "macros"},   {8, "support"}, {9, "personal_centre"}};
        for (auto it = names.constBegin(); it != names.constEnd(); ++it) {
            QQuickItem* button = entry(it.key());
            if (!button || !button->isVisible())
                continue;
            if (it.key() == 9)
                logIn();
            const QString before = shownPage();
            click(button);
            QString what = it.value();
            if (it.key() == 3 && shownPage() == QLatin1String("pageParameter"))
                what = QStringLiteral("parameters");
            if (!waitFor([&] { return shownPage() != before || entry(it.key())->property("checked").toBool(); }, 5000))
                miss("page " + what);
            idle();
            shoot(what);
        }
    }

    // The key settings from a click on a key or button in the device's picture.
    void openKeySettings()
    {
        const bool keyboard = contextObject(QStringLiteral("g_image"))->property("deviceType").toInt() == 2;
        const int pageEntry = keyboard ? 3 : 2;
        const QString panelName = keyboard ? QStringLiteral("kbDevicePanel") : QStringLiteral("msDevicePanel");
        QQuickItem* page = entry(pageEntry);
        if (!page || !page->isVisible())
            return;
        click(page);
        idle();
        QQuickItem* panel = nullptr;
        for (QObject* object : objectsBelow(m_window)) {
            auto* item = qobject_cast<QQuickItem*>(object);
            if (item && item->objectName() == panelName && item->isVisible())
                panel = item;
        }
        QQuickItem* key =
            panel ? findItem(panel, keyboard ? QStringLiteral("key30") : QStringLiteral("key0")) : nullptr;
        if (!key)
            key = panel ? findItem(panel, QStringLiteral("key1")) : nullptr;
        if (!click(key)) {
            miss(QStringLiteral("a key in the device picture"));
            return;
        }
        const QString dialogName =
            keyboard ? QStringLiteral("keySettingDialog") : QStringLiteral("mouseKeySettingDialog");
        QObject* dialog = findObject(m_window, dialogName);
        if (!dialog || !waitFor([&] { return dialog->property("visible").toBool(); }, 5000)) {
            miss(QStringLiteral("the key settings"));
            return;
        }
        shoot(QStringLiteral("key_settings"));
        for (int tab = 1; tab <= 3; ++tab) {
            if (QMetaObject::invokeMethod(dialog, "selectTab", Q_ARG(QVariant, tab)))
                shoot(QStringLiteral("key_settings_tab%1").arg(tab));
        }
        if (!QMetaObject::invokeMethod(dialog, "closeDialog"))
            QMetaObject::invokeMethod(dialog, "close");
        if (QObject* owner = findObject(m_window, QStringLiteral("page2")))
            QMetaObject::invokeMethod(owner, "closeDialog");
        waitFor([&] { return !dialog->property("visible").toBool(); }, 3000);
    }

    // The macro editor with the sample macro open.
    void openMacroEditor()
    {
        QQuickItem* page = entry(7);
        if (!page || !page->isVisible())
            return;
        click(page);
        QObject* library = findObject(m_window, QStringLiteral("macroFolder"));
        QQuickItem* sample = nullptr;
        waitFor([&] { return (sample = findItem(library, QStringLiteral("macro_") + sampleMacroName())) != nullptr; },
                5000);
        if (!click(sample)) {
            miss(QStringLiteral("the sample macro in the library"));
            return;
        }
        QObject* editor = findObject(m_window, QStringLiteral("macroEditor"));
        waitFor(
            [&] { return editor && editor->property("mCurrentFile").toString().endsWith(sampleMacroName() + ".json"); },
            5000);
        shoot(QStringLiteral("macro_editor"));
    }

    // The busy indicator, twice a little apart: its ring turns.
    void showBusy()
    {
        QObject* busyObject = contextObject(QStringLiteral("h_loaddialog"));
        if (!busyObject)
            return;
        QMetaObject::invokeMethod(busyObject, "startLoading", Q_ARG(int, 3000));
        if (!waitFor([this] { return busy(); }, 2000)) {
            miss(QStringLiteral("the busy indicator"));
            return;
        }
        shoot(QStringLiteral("busy_a"));
        settle(300);
        shoot(QStringLiteral("busy_b"));
        QMetaObject::invokeMethod(busyObject, "stopLoading");
        idle();
    }

    // Every numbered popup of the window, each alone.
    void openPopups()
    {
        // The window makes a popup the first time it is reached: popup(n) makes it and hands it over.
        for (const QVariant& number : m_window->property("mPopupNumbers").toList()) {
            const int n = number.toInt();
            QVariant made;
            QMetaObject::invokeMethod(m_window, "popup", Q_RETURN_ARG(QVariant, made), Q_ARG(QVariant, n));
            QObject* popup = made.value<QObject*>();
            if (!popup || typeOf(popup) == QLatin1String("HMask"))
                continue;
            QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, n));
            if (!waitFor([&] { return popup->property("visible").toBool(); }, 3000)) {
                miss("popup " + typeOf(popup));
                continue;
            }
            shoot(QStringLiteral("popup%1_%2").arg(n, 2, 10, QChar('0')).arg(typeOf(popup)));
            QMetaObject::invokeMethod(popup, "close");
            waitFor([&] { return !popup->property("visible").toBool(); }, 3000);
        }
    }

    static QString sampleMacroName() { return QStringLiteral("Sample"); }

private:
    static QQuickItem* firstEntry(QQuickItem* list)
    {
        for (QObject* object : objectsBelow(list)) {
            auto* item = qobject_cast<QQuickItem*>(object);
            if (item && item->objectName().startsWith(QLatin1String("equipment_")) && item->isVisible())
                return item;
        }
        return nullptr;
    }

    // The personal centre needs an account: the tour signs in as the log-in popup does on success.
    void logIn()
    {
        if (!KAppModel::instance()->getToken().isEmpty())
            return;
        KAppModel::instance()->setToken(QStringLiteral("tour"));
        if (QObject* login = findObject(m_window, QStringLiteral("login")))
            QMetaObject::invokeMethod(login, "sigLoginSuccessful");
        settle();
        if (QObject* popup = findObject(m_window, QStringLiteral("login")))
            QMetaObject::invokeMethod(popup, "close");
    }

    QQuickWindow* m_window;
    QString m_folder;
    QString m_prefix;
    int m_step = 1;
    int m_missed = 0;
};

// The settings the program finds at its first start: the language, and web addresses on this machine, where
// nothing answers, so that the tour never reaches out.
void writeSettings(const QString& language)
{
    const QString folder = ProgramFolders::configLocation();
    QDir().mkpath(folder);
    QSettings settings(folder + QStringLiteral("/AppConfig.ini"), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.setValue(QStringLiteral("/language"), language);
    settings.setValue(QStringLiteral("/GAState"), false);
    settings.setValue(QStringLiteral("/disableUpdate"), true);
    settings.setValue(QStringLiteral("/isFirst"), true);
    settings.setValue(QStringLiteral("/apiBase"), QStringLiteral("https://127.0.0.1:9"));
    settings.setValue(QStringLiteral("/checkHost"), QStringLiteral("localhost"));
    settings.setValue(QStringLiteral("/analyticsUrl"), QStringLiteral("https://127.0.0.1:9/collect"));
    settings.sync();
}

// A macro with every kind of event, so the editor shows each of its marks.
void writeSampleMacro()
{
    const QString folder = ProgramFolders::macroRoot();
    QDir().mkpath(folder);
    QJsonArray events;
    auto add = [&](int type, int value1, int value2, bool up, const QString& text) {
        events.append(
            QJsonObject {{"type", type}, {"value1", value1}, {"value2", value2}, {"isUp", up}, {"text", text}});
    };
    add(0, 4, 30, false, "A");
    add(2, 120, 0, false, "");
    add(0, 4, 30, true, "A");
    add(1, 1, 0, false, "Left");
    add(2, 80, 0, false, "");
    add(1, 1, 0, true, "Left");
    add(3, 640, 360, false, "");
    const QJsonObject macro {{"list", events},
                             {"ignoreTime", false},
                             {"playType", "1"},
                             {"times", 1},
                             {"macroName", Tour::sampleMacroName()}};
    QFile file(folder + "/" + Tour::sampleMacroName() + ".json");
    if (file.open(QIODevice::WriteOnly))
        file.write(QJsonDocument(macro).toJson());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    const bool popups = args.removeAll(QStringLiteral("--popups")) > 0;
    // The interface scale, as "-scale" gives it to the program.
    const int scaleAt = args.indexOf(QStringLiteral("--scale"));
    if (scaleAt >= 0 && scaleAt + 1 < args.size()) {
        bool ok = false;
        const float factor = args.at(scaleAt + 1).toFloat(&ok);
        if (ok && factor > 0)
            KAppCommon::instance()->setScale(factor);
        args.erase(args.begin() + scaleAt, args.begin() + scaleAt + 2);
    }
    QString language = QStringLiteral("en");
    const int languageAt = args.indexOf(QStringLiteral("--language"));
    if (languageAt >= 0 && languageAt + 1 < args.size()) {
        language = args.at(languageAt + 1);
        args.erase(args.begin() + languageAt, args.begin() + languageAt + 2);
    }
    if (args.size() != 2 || (language != QLatin1String("en") && language != QLatin1String("zh"))) {
        QTextStream(stderr)
            << "usage: corvane_screens <output folder> <prefix> [--language en|zh] [--popups] [--scale <factor>]\n";
        return 2;
    }
    const QString folder = args.at(0);
    const QString prefix = args.at(1) + "_" + language;
    QDir().mkpath(folder);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.info=false"));
    QLocale::setDefault(language == QLatin1String("zh") ? QLocale(QLocale::Chinese, QLocale::China)
                                                        : QLocale(QLocale::English, QLocale::UnitedStates));

    QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
    writeSettings(language);
    writeSampleMacro();

    SceneGraphBackend::choose();
    if (setupSimulationFromEnvironment())
        useSimulatedModels(simulatedProductIds());
    KAppManager* manager = KAppManager::instance();
    if (!manager->init() || !manager->start()) {
        out() << "the program did not start\n";
        return 1;
    }
    auto* window = qobject_cast<QQuickWindow*>(manager->getUIManager()->getEngine()->rootObjects().value(0));
    if (!window || !waitFor([window] { return window->isExposed(); }, 10000)) {
        out() << "the main window was not shown\n";
        manager->shutdown();
        return 1;
    }

    Tour tour(window, folder, prefix);
    out() << prefix << ":\n";
    tour.chooseFirstDevice();
    QObject* controller = contextObject(QStringLiteral("g_deviceCtl"));
    const bool online = waitFor([controller] { return controller->property("online").toBool(); }, 15000);
    tour.idle();
    if (!online) {
        // No device the program can set up: the waiting page is all there is.
        tour.shoot(QStringLiteral("no_device"));
    } else {
        tour.visitPages();
        tour.openKeySettings();
        tour.openMacroEditor();
        tour.showBusy();
        if (popups)
            tour.openPopups();
    }
    manager->shutdown();
    return tour.missed() == 0 ? 0 : 1;
}
