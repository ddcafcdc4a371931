#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class LogCapture;
class QQuickItem;
class QQuickWindow;

// Drives the real main window in a window test as a user does: finds items and popups by object name, clicks
// where they are drawn once the busy indicator is gone, and reads program objects from the QML context.
namespace WindowDriver {

QList<QQuickItem*> findItems(QObject* root, const QString& name);
QQuickItem* findItem(QObject* root, const QString& name);
// The QML type of an object as its document names it ("HLogin_new").
QString typeOf(QObject* object);
// The QML faults among the captured log lines.
QStringList qmlFaults(const LogCapture& log);
// True while the busy indicator shows.
bool busy(QQuickWindow* window);
// A click at the centre of item, after waiting for the busy indicator to go.
bool click(QQuickWindow* window, QQuickItem* item);
// A program object of the QML context ("g_deviceCtl").
QObject* contextObject(const QString& name);
// The pages of the page area shown now, by object name.
QStringList shownPages(QQuickWindow* window);
// The types of the numbered popups open now.
QStringList openPopups(QQuickWindow* window);
void closePopups(QQuickWindow* window);

} // namespace WindowDriver
