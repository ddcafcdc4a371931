#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/UIManager.h"
#include "devices/SimulatedModels.h"
#include "sim/SimulationSetup.h"

#include "LogCapture.h"
#include "QuickTree.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QImage>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QScreen>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

// The main window as the user meets it: started with the simulated keyboard in a real window under the virtual
// X server, shown, clicked through, numbered, closed.
class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<LogCapture> m_log;
    QQuickWindow* m_window = nullptr;

    QQuickItem* entry(int index) const
    {
        QQuickItem* bar = findItem(m_window, "navigationBar");
        for (QQuickItem* item : findItems(bar, QString::number(index))) {
            if (item->property("mText").isValid())
                return item;
        }
        return nullptr;
    }

    QQuickItem* page(const QString& name) const { return findItem(m_window, name); }

    // The pages shown, by object name.
    QStringList shownPages() const
    {
        QStringList shown;
        for (QQuickItem* item : findItem(m_window, "pageArea")->childItems()) {
            if (item->isVisible())
                shown << item->objectName();
        }
        return shown;
    }

    // The busy indicator takes no input: a user waits for it, and so do the clicks here.
    bool busy() const { return isShown(m_window, "HLoadDialog_new"); }

    void click(QQuickItem* item) { clickItem(m_window, item); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("CORVANE_SIMULATE", "ZEPHRA");
        QVERIFY(setupSimulationFromEnvironment());
        useSimulatedModels(simulatedProductIds());
        m_log = std::make_unique<LogCapture>();
        m_window = startMainWindow();
        QVERIFY(m_window);
        WAIT_VERIFY(findItem(m_window, "pageArea")->isVisible());
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        KAppManager::instance()->shutdown();
        QStringList faults = qmlFaults(*m_log);
        m_log.reset();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup() { QVERIFY2(qmlFaults(*m_log).isEmpty(), qPrintable(qmlFaults(*m_log).join('\n'))); }

    // The keyboard starts on its key page with entry 3 checked; its entries follow the device type.
    void startsOnTheKeyboardsPage()
    {
        WAIT_COMPARE(shownPages(), QStringList{"pageKbSetting"});
        QCOMPARE(m_window->property("mRecord").toInt(), 3);
        QVERIFY(entry(3)->property("checked").toBool());
        QCOMPARE(entry(3)->property("mText").toString(), QString("Key setting"));
        QVERIFY(!entry(2)->isVisible());  // DPI: mice only
        QVERIFY(!entry(4)->isVisible());  // this keyboard has no OLED screen
        QVERIFY(entry(5)->isVisible());   // it has light
        QVERIFY(!entry(6)->isVisible());  // sharing is never offered
        QVERIFY(!findItem(m_window, "equipmentTesting")->isVisible());
        QCOMPARE(findItem(m_window, "deviceName")->property("text").toString(), QString("ZEPHRA"));
        QVERIFY(findItem(m_window, "deviceCard")->isVisible());
    }

    // At start the window holds the start page and what the program opens by itself (the device picker, the
    // busy indicator); the other pages and the numbered popups wait until they are reached. The profile page may
    // be there too: it follows the profile list the device's profile layer announces at start, and names the
    // current profile in the user label. Looked at without the finders, which would make everything.
    void startMakesOnlyTheStartPage()
    {
        QStringList pages;
        for (QQuickItem* item : findItem(m_window, "pageArea")->childItems())
            pages << item->objectName();
        pages.removeAll("page1");
        QCOMPARE(pages, QStringList{"pageKbSetting"});
        QStringList popups;
        for (const QVariant& made : m_window->property("mPopups").toList()) {
            if (QObject* object = made.value<QObject*>())
                popups << typeOf(object);
        }
        QCOMPARE(popups, QStringList{"HMask"});
        for (const QVariant& panel : m_window->property("mRectangles").toList())
            QVERIFY(!panel.value<QObject*>());
    }

    // What reaches a page or popup that was not made yet makes it, and it does what it did when it was there
    // from the start.
    void reachedBeforeItWasMade_data()
    {
        QTest::addColumn<QString>("reach");
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("shown");
        QTest::newRow("the device warns") << "warning" << "FAwakenMosue" << true;
        QTest::newRow("the device asks for new firmware") << "firmware" << "HFirmwareUpdate_new" << true;
        QTest::newRow("the pairing panel") << "pairing" << "FPairingInterface_new" << true;
    }

    void reachedBeforeItWasMade()
    {
        QFETCH(QString, reach);
        QFETCH(QString, document);
        QFETCH(bool, shown);
        auto made = [&]() -> QObject* {
            for (QObject* object : quickTreeBelow(m_window)) {
                if (typeOf(object) == document)
                    return object;
            }
            return nullptr;
        };
        QVERIFY(!made());
        if (reach == "warning")
            QVERIFY(QMetaObject::invokeMethod(contextObject("h_warningdialog"), "sig_startWarning"));
        else if (reach == "firmware")
            QVERIFY(QMetaObject::invokeMethod(contextObject("g_deviceCtl"), "needUpdateFirmware"));
        else
            QVERIFY(QMetaObject::invokeMethod(m_window, "showRectangle", Q_ARG(QVariant, 3)));
        WAIT_VERIFY(made());
        QObject* object = made();
        WAIT_COMPARE(object->property("visible").toBool(), shown);
        // Made once: reaching it again finds the same one.
        QCOMPARE(quickTreeBelow(m_window).count(object), 1);
        if (reach == "warning")
            QVERIFY(QMetaObject::invokeMethod(contextObject("h_warningdialog"), "sig_stopWarning"));
        else if (reach == "pairing")
            object->setProperty("visible", false);
        else if (shown)
            QVERIFY(QMetaObject::invokeMethod(object, "close"));
        WAIT_VERIFY(!object->property("visible").toBool());
    }

    // The window is centred and its first frame is a drawn picture, not one colour.
    void showsAPicture()
    {
        WAIT_VERIFY(!busy());
        const QRect screen = m_window->screen()->geometry();
        QVERIFY(qAbs(m_window->x() - (screen.width() - m_window->width()) / 2) <= 1);
        QVERIFY(qAbs(m_window->y() - (screen.height() - m_window->height()) / 2) <= 1);
        const QImage shot = m_window->grabWindow();
        QVERIFY(!shot.isNull());
        QCOMPARE(shot.size(), m_window->size() * m_window->devicePixelRatio());
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 7) {
            for (int x = 0; x < shot.width(); x += 7)
                colours.insert(shot.pixel(x, y));
        }
        QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
        // The navigation bar is drawn in its own colour on the left.
        QCOMPARE(QColor(shot.pixel(4, shot.height() / 2)), QColor("#303344"));
    }

    // Clicks on the navigation switch pages; "Personal Center" without a log-in opens the log-in notice and
    // keeps the page.
    void navigationSwitchesPages_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("shown");
        QTest::newRow("macro") << 7 << "page7";
        QTest::newRow("profiles") << 1 << "page1";
        QTest::newRow("light") << 5 << "pageKbLight";
        QTest::newRow("support") << 8 << "page8";
        QTest::newRow("keys") << 3 << "pageKbSetting";
    }

    void navigationSwitchesPages()
    {
        QFETCH(int, index);
        QFETCH(QString, shown);
        click(entry(index));
        WAIT_COMPARE(shownPages(), QStringList{shown});
        QCOMPARE(m_window->property("mRecord").toInt(), index);
        QVERIFY(entry(index)->property("checked").toBool());
    }

    void personalCentreAsksToLogIn()
    {
        click(entry(7));
        WAIT_COMPARE(shownPages(), QStringList{"page7"});
        click(entry(9));
        QObject* notice = m_window->findChild<QObject*>("pleaseLogin");
        QVERIFY(notice);
        WAIT_VERIFY(notice->property("visible").toBool());
        QCOMPARE(shownPages(), QStringList{"page7"});
        QVERIFY(entry(7)->property("checked").toBool());
        QVERIFY(!entry(9)->property("checked").toBool());
        QMetaObject::invokeMethod(notice, "close");
        WAIT_VERIFY(!notice->property("visible").toBool());
    }

    // A log-in shows the personal centre, which the navigation then reaches; a log-out goes back to the
    // device's own page.
    void logInAndOut()
    {
        QObject* login = popup(m_window, 1);
        QObject* logout = popup(m_window, 10);
        QVERIFY(login && logout);
        KAppModel::instance()->setToken("token");
        QVERIFY(QMetaObject::invokeMethod(login, "sigLoginSuccessful"));
        WAIT_COMPARE(shownPages(), QStringList{"page9"});
        QVERIFY(entry(9)->property("checked").toBool());
        // The navigation answers again once the popups it opened are closed.
        click(entry(8));
        WAIT_COMPARE(shownPages(), QStringList{"page8"});
        click(entry(9));
        WAIT_COMPARE(shownPages(), QStringList{"page9"});

        KAppModel::instance()->setToken(QString());
        QVERIFY(QMetaObject::invokeMethod(logout, "sigLogoutSuccess"));
        WAIT_COMPARE(shownPages(), QStringList{"pageKbSetting"});
        QVERIFY(entry(3)->property("checked").toBool());
    }

    // Dragging the top edge moves the window, never past the edge of the desktop.
    void dragStopsAtTheDesktopEdge()
    {
        const QPoint start = m_window->position();
        // Right of the user label, left of the window buttons.
        const QPoint grip(m_window->width() - 150, 10);
        QTest::mousePress(m_window, Qt::LeftButton, Qt::NoModifier, grip);
        struct Release {
            QQuickWindow* window;
            QPoint at;
            ~Release() { QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at); }
        } release{m_window, grip};
        QTest::mouseMove(m_window, grip + QPoint(30, 20));
        WAIT_COMPARE(m_window->position(), start + QPoint(30, 20));
        QTest::mouseMove(m_window, grip + QPoint(5000, 5000) - QPoint(30, 20));
        const int maxX = m_window->property("mMaxX").toInt();
        const int maxY = m_window->property("mMaxY").toInt();
        WAIT_COMPARE(m_window->position(), QPoint(maxX, maxY));
        m_window->setPosition(start);
        WAIT_COMPARE(m_window->position(), start);
    }

    // mGeter(n) opens popup n alone; numbers that hold no popup open nothing.
    void popupNumbering_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("document");
        const QList<QPair<int, QString>> table = {
            {1, "HLogin_new"},           {2, "FRegister_new"},      {6, "FResetSuccess_new"},
            {7, "FRegisterSuccess_new"}, {8, "FNotReceived_new"},   {9, "FPleaseLogin"},
            {10, "FLogout_new"},         {11, "FUploadConfig_new"}, {12, "FDownloadConfig_new"},
            {13, "HCheckSoftware_new"},  {14, "HCheckFirmware_new"}, {15, "HRestoreSetting_new"},
            {16, "HModifyPassword"},     {17, "HVersionUpdate_new"}, {18, "HFirmwareUpdate_new"},
            {20, "FAwakenFail"},         {21, "FAwakenMosue"},      {23, "FPairngSuccess_new"},
            {24, "HMask"},               {25, "HAddConfig"},        {26, "HEditConfig"},
            {27, "HDeleteConfig"},       {28, "HRestoreConfig"},    {3, QString()},
            {4, QString()},              {5, QString()},            {19, QString()},
            {22, QString()}};
        for (const auto& row : table)
            QTest::newRow(qPrintable(QString::number(row.first))) << row.first << row.second;
    }

    void popupNumbering()
    {
        QFETCH(int, number);
        QFETCH(QString, document);
        // Something else is open first: mGeter closes it.
        QVERIFY(QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, 26)));
        QVERIFY(QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, number)));
        const QVariantList popups = m_window->property("mPopups").toList();
        QStringList open;
        for (int i = 0; i < popups.size(); ++i) {
            QObject* popup = popups.at(i).value<QObject*>();
            if (popup && popup->property("visible").toBool())
                open << typeOf(popup);
        }
        QCOMPARE(typeOf(popups.value(number).value<QObject*>()), document);
        QCOMPARE(open, document.isEmpty() ? QStringList() : QStringList{document});
        for (const QVariant& popup : popups) {
            if (QObject* object = popup.value<QObject*>())
                QMetaObject::invokeMethod(object, "close");
        }
    }

    // The program's own tips reach the floating tip.
    void tipsAreShown()
    {
        QObject* services = KAppManager::instance()->getUIManager()->getEngine()->rootContext()
                                ->contextProperty("h_suspension").value<QObject*>();
        QVERIFY(services);
        // The tip object queues its tips; its signal is what the window listens to.
        QVERIFY(QMetaObject::invokeMethod(services, "sigShowTips", Q_ARG(int, 0), Q_ARG(QString, "Saved")));
        QQuickItem* tip = findItem(m_window, "suspension");
        WAIT_VERIFY(tip->isVisible());
        QCOMPARE(tip->property("mText").toString(), QString("Saved"));
    }

    // Closing hides the window to the tray, or minimises it where no notification area exists; it comes back
    // on the UI manager's request.
    void closeButtonKeepsTheProgram()
    {
        const bool tray = KAppManager::instance()->getUIManager()->property("trayAvailable").toBool();
        QQuickItem* close = nullptr;
        for (QQuickItem* item : findItems(findItem(m_window, "titleBar"), "close"))
            close = item;
        QVERIFY(close);
        click(close);
        if (tray)
            WAIT_VERIFY(!m_window->isVisible());
        else
            WAIT_COMPARE(m_window->visibility(), QWindow::Minimized);
        KAppManager::instance()->getUIManager()->show();
        WAIT_VERIFY(m_window->isVisible());
        m_window->showNormal();
        WAIT_COMPARE(m_window->visibility(), QWindow::Windowed);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
