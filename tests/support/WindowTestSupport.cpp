#include "WindowTestSupport.h"

#include "LogCapture.h"
#include "QuickTree.h"

#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "TestWait.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace WindowTestSupport {

namespace {

// Whether root is the main window, which makes its parts on demand (it answers page(n)).
bool makesOnDemand(QObject* root)
{
    return qobject_cast<QQuickWindow*>(root) && root->metaObject()->indexOfMethod("page(QVariant)") >= 0;
}

bool none(const QObject* found)
{
    return !found;
}

bool none(const QList<QQuickItem*>& found)
{
    return found.isEmpty();
}

// The first answer of find below root; when there is none below the main window, the same after everything the
// window makes on demand was made.
template <typename Find>
auto findMade(QObject* root, Find find) -> decltype(find())
{
    auto found = find();
    if (none(found) && makesOnDemand(root)) {
        makeEverything(root);
        found = find();
    }
    return found;
}

QObject* call(QObject* window, const char* function, int n)
{
    QVariant answer;
    if (!window || !QMetaObject::invokeMethod(window, function, Q_RETURN_ARG(QVariant, answer), Q_ARG(QVariant, n)))
        return nullptr;
    return answer.value<QObject*>();
}

} // namespace

QList<QQuickItem*> findItems(QObject* root, const QString& name)
{
    if (!root) // what the test looked in is not there: nothing found, the test fails instead of crashing
        return {};
    return findMade(root, [&] {
        QList<QQuickItem*> found;
        for (QObject* object : quickTreeBelow(root)) {
            auto* item = qobject_cast<QQuickItem*>(object);
            if (item && item->objectName() == name)
                found << item;
        }
        return found;
    });
}

QQuickItem* findItem(QObject* root, const QString& name)
{
    return findItems(root, name).value(0);
}

QObject* findObject(QObject* root, const QString& name)
{
    if (!root)
        return nullptr;
    return findMade(root, [&]() -> QObject* {
        for (QObject* object : quickTreeBelow(root)) {
            if (object->objectName() == name)
                return object;
        }
        return nullptr;
    });
}

QString typeOf(QObject* object)
{
    return object ? QString::fromLatin1(object->metaObject()->className()).section("_QMLTYPE_", 0, 0) : QString();
}

QObject* findOfType(QObject* root, const QString& type)
{
    return findMade(root, [&]() -> QObject* {
        for (QObject* object : quickTreeBelow(root)) {
            if (typeOf(object) == type)
                return object;
        }
        return nullptr;
    });
}

bool isShown(QObject* root, const QString& type)
{
    for (QObject* object : quickTreeBelow(root)) {
        if (typeOf(object) == type && object->property("visible").toBool())
            return true;
    }
    return false;
}

QQuickItem* page(QObject* window, int n)
{
    return qobject_cast<QQuickItem*>(call(window, "page", n));
}

QObject* popup(QObject* window, int n)
{
    return call(window, "popup", n);
}

QList<int> popupNumbers(QObject* window)
{
    QList<int> numbers;
    for (const QVariant& number : window->property("mPopupNumbers").toList())
        numbers << number.toInt();
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void makeEverything(QObject* window)
{
    for (int n = 1; n <= 9; ++n)
        page(window, n);
    for (int n : popupNumbers(window))
        popup(window, n);
    for (int n : {3, 4})
        call(window, "rectangle", n);
    for (const char* dialog : {"firmwareRestore", "firmwareSuccess", "progressBar"})
        QMetaObject::invokeMethod(window, dialog);
}

QStringList qmlFaults(const LogCapture& log)
{
    QStringList faults;
    for (const QString& line : log.warnings()) {
        if (line.contains("qrc:/") || line.contains("QML"))
            faults << line;
    }
    return faults;
}

void waitForLayout(QQuickWindow* window)
{
    QSignalSpy laidOut(window, &QQuickWindow::afterAnimating);
    window->update();
    QVERIFY(laidOut.wait(TestWait::kBoundMs));
}

void clickItem(QQuickWindow* window, QQuickItem* item)
{
    QVERIFY(item);
    WAIT_VERIFY(!isShown(window, QStringLiteral("HLoadDialog_new")));
    waitForLayout(window);
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

QStringList stopProgram(const LogCapture& log)
{
    KAppManager::instance()->shutdown();
    return qmlFaults(log);
}

QQuickWindow* startMainWindow()
{
    if (!KAppManager::instance()->init() || !KAppManager::instance()->start())
        return nullptr;
    const QList<QObject*> roots = KAppManager::instance()->getUIManager()->getEngine()->rootObjects();
    auto* window = roots.size() == 1 ? qobject_cast<QQuickWindow*>(roots.first()) : nullptr;
    if (!window || !QTest::qWaitForWindowExposed(window, TestWait::kBoundMs))
        return nullptr;
    return window;
}

QObject* contextObject(const QString& name)
{
    return KAppManager::instance()->getUIManager()->getEngine()->rootContext()->contextProperty(name).value<QObject*>();
}

void chooseDevice(QQuickWindow* window, quint16 pid, const QString& name)
{
    QObject* image = contextObject(QStringLiteral("g_image"));
    if (image->property("deviceName").toString().toUpper() == name)
        return;
    QObject* picker = findObject(window, QStringLiteral("selectEquipment"));
    QVERIFY(picker);
    if (!picker->property("visible").toBool())
        QVERIFY(QMetaObject::invokeMethod(contextObject(QStringLiteral("g_deviceCtl")), "sig_showSelectEquipment",
                                          Q_ARG(bool, true)));
    QTRY_VERIFY(picker->property("visible").toBool());
    QQuickItem* entry = nullptr;
    QTRY_VERIFY((entry = findItem(window, QStringLiteral("equipment_%1").arg(pid))) != nullptr);
    clickItem(window, entry);
    QTRY_VERIFY(!picker->property("visible").toBool());
    QTRY_COMPARE_WITH_TIMEOUT(image->property("deviceName").toString().toUpper(), name, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!isShown(window, QStringLiteral("HLoadDialog_new")), 15000);
}

} // namespace WindowTestSupport
