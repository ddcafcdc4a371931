#include "WindowDriver.h"

#include "LogCapture.h"
#include "QuickTree.h"

#include "app/KAppManager.h"
#include "app/UIManager.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace WindowDriver {

QList<QQuickItem*> findItems(QObject* root, const QString& name)
{
    QList<QQuickItem*> found;
    for (QObject* object : quickTreeBelow(root)) {
        auto* item = qobject_cast<QQuickItem*>(object);
        if (item && item->objectName() == name)
            found << item;
    }
    return found;
}

QQuickItem* findItem(QObject* root, const QString& name)
{
    return findItems(root, name).value(0);
}

QString typeOf(QObject* object)
{
    return object ? QString::fromLatin1(object->metaObject()->className()).section("_QMLTYPE_", 0, 0) : QString();
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

bool busy(QQuickWindow* window)
{
    for (QObject* object : quickTreeBelow(window)) {
        if (typeOf(object) == "HLoadDialog_new" && object->property("visible").toBool())
            return true;
    }
    return false;
}

bool click(QQuickWindow* window, QQuickItem* item)
{
    if (!item)
        return false;
    QElapsedTimer waited;
    waited.start();
    while (busy(window)) {
        if (waited.elapsed() > 10000)
            return false;
        QTest::qWait(20);
    }
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    return true;
}

QObject* contextObject(const QString& name)
{
    return KAppManager::instance()->getUIManager()->getEngine()->rootContext()->contextProperty(name)
        .value<QObject*>();
}

QStringList shownPages(QQuickWindow* window)
{
    QStringList shown;
    for (QQuickItem* item : findItem(window, "pageArea")->childItems()) {
        if (item->isVisible())
            shown << item->objectName();
    }
    return shown;
}

QStringList openPopups(QQuickWindow* window)
{
    QStringList open;
    for (const QVariant& popup : window->property("mPopups").toList()) {
        QObject* object = popup.value<QObject*>();
        if (object && object->property("visible").toBool())
            open << typeOf(object);
    }
    return open;
}

void closePopups(QQuickWindow* window)
{
    for (const QVariant& popup : window->property("mPopups").toList()) {
        if (QObject* object = popup.value<QObject*>())
            QMetaObject::invokeMethod(object, "close");
    }
}

} // namespace WindowDriver
