#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class LogCapture;
class QObject;
class QQuickItem;
class QQuickWindow;

// What the tests of the real main window share: finding the window's objects by name and type, and the QML
// faults among the log lines.
namespace WindowTestSupport {

// The main window makes its pages and popups the first time they are shown. The finders below look in what is made;
// when they find nothing below the window itself, every page of the device shown and every popup is made (as the
// program makes them when they are reached) and they look again, so a test finds what the window holds whether or
// not the user went there first.

// Items below root with this object name, depth first (see quickTreeBelow).
QList<QQuickItem*> findItems(QObject* root, const QString& name);
QQuickItem* findItem(QObject* root, const QString& name);
// Any object below root with this object name (popups are no items).
QObject* findObject(QObject* root, const QString& name);
// The document an object was made from ("HLoadDialog_new"), without QML's type suffix.
QString typeOf(QObject* object);
// The first object of that document below root; null when there is none.
QObject* findOfType(QObject* root, const QString& type);
// Whether some object of that document below root is visible (what is not made yet is not shown).
bool isShown(QObject* root, const QString& type);
// Page n of the main window (1 to 9, as the navigation bar numbers them), made now if it was not yet; null for a
// number without a page.
QQuickItem* page(QObject* window, int n);
// Numbered popup n, made now if it was not yet; null for a number without a popup.
QObject* popup(QObject* window, int n);
// The numbers that hold a popup, in order.
QList<int> popupNumbers(QObject* window);
// Makes every page of the device shown, every popup and every full-window panel of the main window.
void makeEverything(QObject* window);
// The QML faults among the log's warnings (the device layer's own warnings are not the window's).
QStringList qmlFaults(const LogCapture& log);
// Waits until the window has laid out what changed: items are placed (a column moves its entries when one
// appears) before the next frame is drawn, so until then an item's position is where it was, not where it is seen.
void waitForLayout(QQuickWindow* window);
// Waits (up to the shared test bound) until the busy indicator is gone and the window is laid out, then clicks the
// item's centre as the user does.
void clickItem(QQuickWindow* window, QQuickItem* item);
// Ends the program started by startMainWindow; the QML faults logged while it ran.
QStringList stopProgram(const LogCapture& log);
// Starts the program (KAppManager init and start) and returns its main window, exposed; null on failure.
QQuickWindow* startMainWindow();
// An object the engine hands the documents by name ("g_image").
QObject* contextObject(const QString& name);
// Chooses a plugged device in the device picker as the user does (opening the picker when it is closed) and
// waits until the window shows it (g_image's device name, upper case, is name) and the busy indicator is gone.
void chooseDevice(QQuickWindow* window, quint16 pid, const QString& name);

} // namespace WindowTestSupport
