#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "devices/SimulatedModels.h"
#include "sim/mouse/register/SimRegisterMouse.h"
#include "sim/mouse/twopage/SimTwoPageMouse.h"

#include "LogCapture.h"
#include "SimBusFixture.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

// The mouse pages in the real window on simulated mice of each family built: a register mouse with a screen
// (Abberly) and a two-page mouse (Ulverd), plugged together so that the device picker chooses between them.
// The emulators decode what they receive, so the tests check what reached the mouse.
class TestMousePages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimRegisterMouse> m_register;
    std::unique_ptr<SimTwoPageMouse> m_twoPage;
    std::unique_ptr<LogCapture> m_log;
    QQuickWindow* m_window = nullptr;

    QQuickItem* item(const QString& name) const { return findItem(m_window, name); }
    QQuickItem* itemIn(const QString& page, const QString& name) const
    {
        return findItem(findItem(m_window, page), name);
    }
    bool idle() const { return !isShown(m_window, "HLoadDialog_new"); }
    void showPage(const QString& name, int number)
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, number)));
        WAIT_VERIFY(item(name)->isVisible());
    }
    // Chooses a plugged mouse in the device picker, opened with "Switch devices" unless it is open already, and
    // waits for its first reading.
    void choose(quint16 pid, const QString& name)
    {
        QObject* picker = findObject(m_window, "selectEquipment");
        if (!picker->property("visible").toBool()) {
            QQuickItem* change = item("changeEquipment");
            QVERIFY2(change->isVisible(), "no \"Switch devices\" with two devices connected");
            clickItem(m_window, change);
        }
        WAIT_VERIFY(picker->property("visible").toBool());
        QQuickItem* entry = nullptr;
        WAIT_VERIFY((entry = item("equipment_" + QString::number(pid))) != nullptr);
        clickItem(m_window, entry);
        WAIT_VERIFY(!picker->property("visible").toBool());
        QObject* image = contextObject("g_image");
        WAIT_COMPARE(image->property("deviceName").toString().toUpper(), name);
        WAIT_VERIFY(idle());
        WAIT_VERIFY(contextObject("g_dpiModel")->property("number").toInt() > 0);
        // The other mouse stays within reach.
        WAIT_VERIFY(item("changeEquipment")->isVisible());
    }
    int visibleDpiRows() const
    {
        int shown = 0;
        for (int row = 1; row <= 7; ++row) {
            QQuickItem* r = itemIn("page2", "dpiRow" + QString::number(row));
            if (r && r->isVisible())
                ++shown;
        }
        return shown;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_bus = std::make_unique<SimBusFixture>();
        m_register = std::make_unique<SimRegisterMouse>(DeviceIds::kAbberly);
        m_twoPage = std::make_unique<SimTwoPageMouse>(DeviceIds::kUlverd);
        QVERIFY(m_register->plug(m_bus->bus()));
        QVERIFY(m_twoPage->plug(m_bus->bus()));
        useSimulatedModels({DeviceIds::kAbberly, DeviceIds::kUlverd});
        m_log = std::make_unique<LogCapture>();
        m_window = startMainWindow();
        QVERIFY(m_window);
        // Two mice: the picker asks which one to set.
        choose(DeviceIds::kAbberly, "ABBERLY");
        WAIT_VERIFY(item("page2")->isVisible());
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = m_log ? stopProgram(*m_log) : QStringList();
        m_log.reset();
        m_register.reset();
        m_twoPage.reset();
        m_bus.reset();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup() { QVERIFY2(qmlFaults(*m_log).isEmpty(), qPrintable(qmlFaults(*m_log).join('\n'))); }

    // The DPI page shows as many stage rows as the mouse has; choosing a row makes its stage current on the
    // mouse, and a typed value is snapped by the model and written.
    void dpiRows()
    {
        showPage("page2", 2);
        QObject* dpi = contextObject("g_dpiModel");
        const int number = dpi->property("number").toInt();
        QVERIFY(number > 0 && number < 7);
        QCOMPARE(visibleDpiRows(), number);

        QQuickItem* row = itemIn("page2", "dpiRow2");
        clickItem(m_window, findItem(row, "select"));
        WAIT_COMPARE(dpi->property("currentIndex").toInt(), 1);
        WAIT_COMPARE(m_register->dpiIndex(), 1);

        QQuickItem* field = findItem(itemIn("page2", "dpiRow1"), "field");
        QVERIFY(QMetaObject::invokeMethod(field, "inputValue", Q_ARG(QVariant, 1234)));
        WAIT_VERIFY(idle());
        const int written = dpi->property("values").value<QVector<int>>().value(0);
        QVERIFY(written != 0);
        WAIT_COMPARE(m_register->dpiStages().value(0), written);
        QCOMPARE(field->property("mValue").toInt(), written);
        WAIT_VERIFY(item("cpiTip")->isVisible());
        QCOMPARE(item("cpiTipText")->property("text").toString(), "Set dpi to " + QString::number(written));
    }

    // A click on a mouse button opens the key-setting dialog over the mask; closing it frees the window.
    void buttonDialog()
    {
        showPage("page2", 2);
        QQuickItem* panel = itemIn("page2", "msDevicePanel");
        QQuickItem* button = nullptr;
        WAIT_VERIFY((button = findItem(panel, "key0")) != nullptr);
        clickItem(m_window, button);
        QObject* dialog = findObject(item("page2"), "mouseKeySettingDialog");
        WAIT_VERIFY(dialog->property("visible").toBool());
        QCOMPARE(panel->property("mCurrentKey").toInt(), 0);
        QVERIFY(QMetaObject::invokeMethod(item("page2"), "closeDialog"));
        WAIT_VERIFY(!dialog->property("visible").toBool());
        QCOMPARE(panel->property("mCurrentKey").toInt(), -1);
    }

    // Each report-rate button writes its rate to the mouse.
    void reportRate_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 4; ++i)
            QTest::newRow(qPrintable(QString::number(i))) << i;
    }

    void reportRate()
    {
        QFETCH(int, index);
        showPage("pageParameter", 3);
        clickItem(m_window, itemIn("pageParameter", "report" + QString::number(index)));
        QObject* report = contextObject("g_reportModel");
        WAIT_COMPARE(report->property("currentReport").toInt(), index);
        WAIT_VERIFY(idle());
        QVERIFY(itemIn("pageParameter", "report" + QString::number(index))->property("mIsSelect").toBool());
        QCOMPARE(m_register->reportRateChoice(), index);
    }

    // A desktop without the system mouse settings (as every test run is): the page says so in their place and
    // offers no control that would change nothing.
    void systemSettingsNotOffered()
    {
        showPage("pageParameter", 3);
        QObject* system = contextObject("g_sysparameter");
        QVERIFY(!system->property("MouseSpeedOffered").toBool());
        QVERIFY(!system->property("WheelScrollLineOffered").toBool());
        for (const char* note : {"pointerSpeedUnavailable", "wheelLinesUnavailable"}) {
            QQuickItem* shown = itemIn("pageParameter", note);
            QVERIFY2(shown && shown->isVisible(), note);
            QVERIFY(!shown->property("mTextName").toString().contains("Windows"));
        }
        for (const char* control : {"pointerSpeed", "scrollLines", "scrollByLines", "scrollByPages"})
            QVERIFY2(!itemIn("pageParameter", control)->isVisible(), control);
    }

    // The lighting page writes the chosen effect to the mouse; a wired mouse has no power-saving row.
    void lighting()
    {
        showPage("pageLight", 5);
        QVERIFY(!itemIn("pageLight", "powerSaving")->isVisible());
        QObject* logo = contextObject("g_lightModel")->property("logo").value<QObject*>();
        QVERIFY(logo);
        const int modes = logo->property("text").value<QVector<QString>>().size();
        QVERIFY(modes >= 2);
        const int target = logo->property("model").toInt() == 1 ? 2 : 1;
        clickItem(m_window, itemIn("pageLight", "lightMode" + QString::number(target)));
        WAIT_COMPARE(logo->property("model").toInt(), target);
        WAIT_VERIFY(idle());
        QCOMPARE(m_register->lightMode(), target);
    }

    // "Save changes" of the OLED page uploads the drawn picture and switches the screen to it; a mode button
    // switches the screen to that mode.
    void oledUpload()
    {
        QVERIFY(contextObject("g_image")->property("hasOLED").toBool());
        showPage("page4", 4);
        // The editor draws on the background the page shows behind it, as the screen will light it.
        QQuickItem* editor = itemIn("page4", "paintView");
        QCOMPARE(editor->property("fillColor").value<QColor>(), QColor(Qt::black));
        clickItem(m_window, itemIn("page4", "switchBackground"));
        WAIT_COMPARE(editor->property("fillColor").value<QColor>(), QColor(Qt::white));
        clickItem(m_window, itemIn("page4", "switchBackground"));
        WAIT_COMPARE(editor->property("fillColor").value<QColor>(), QColor(Qt::black));
        clickItem(m_window, itemIn("page4", "saveChanges"));
        WAIT_COMPARE(contextObject("f_oledModel")->property("oledMode").toInt(), 8);
        WAIT_COMPARE(m_register->pictureIndex(), 8);
        WAIT_VERIFY(idle());
        QVERIFY(!m_register->picture().isEmpty());

        clickItem(m_window, itemIn("page4", "oledMode0"));
        WAIT_COMPARE(contextObject("f_oledModel")->property("oledMode").toInt(), 0);
        WAIT_VERIFY(idle());
        QCOMPARE(m_register->pictureIndex(), 0);
    }

    // The two-page mouse through the picker: all seven stage rows, a typed value, a report rate and a light
    // effect that reach it, and its buttons' dialog on the parameter page.
    // From the picker to the other mouse and back, both ways, as often as the user likes: the pages follow the
    // mouse chosen, and the picker marks neither mouse wireless and asks for no cable.
    void switchDevicesBothWays()
    {
        QObject* image = contextObject("g_image");
        for (const auto& target : {qMakePair(DeviceIds::kUlverd, QString("ULVERD")),
                                   qMakePair(DeviceIds::kAbberly, QString("ABBERLY")),
                                   qMakePair(DeviceIds::kUlverd, QString("ULVERD")),
                                   qMakePair(DeviceIds::kAbberly, QString("ABBERLY"))}) {
            clickItem(m_window, item("changeEquipment"));
            QObject* picker = findObject(m_window, "selectEquipment");
            WAIT_VERIFY(picker->property("visible").toBool());
            QVERIFY(!item("cableNote")->isVisible());
            WAIT_VERIFY(item("equipment_" + QString::number(target.first)) != nullptr);
            for (quint16 pid : {DeviceIds::kAbberly, DeviceIds::kUlverd})
                QCOMPARE(findItem(item("equipment_" + QString::number(pid)), "badge")->property("source").toString(),
                         QString("qrc:/common/newUI/equipment_wired.png"));
            choose(target.first, target.second);
            QCOMPARE(image->property("deviceName").toString().toUpper(), target.second);
        }
    }

    void twoPageMouse()
    {
        choose(DeviceIds::kUlverd, "ULVERD");
        showPage("page2", 2);
        QObject* dpi = contextObject("g_dpiModel");
        WAIT_COMPARE(visibleDpiRows(), dpi->property("number").toInt());
        // This mouse keeps no current stage; a stage's typed value reaches it.
        QQuickItem* field = findItem(itemIn("page2", "dpiRow3"), "field");
        QVERIFY(QMetaObject::invokeMethod(field, "inputValue", Q_ARG(QVariant, 2000)));
        WAIT_VERIFY(idle());
        const int written = dpi->property("values").value<QVector<int>>().value(2);
        WAIT_COMPARE(m_twoPage->dpiValues().value(2), written);
        QCOMPARE(field->property("mValue").toInt(), written);

        showPage("pageParameter", 3);
        const int before = m_twoPage->reportRate();
        const int choice = contextObject("g_reportModel")->property("currentReport").toInt() == 0 ? 3 : 0;
        clickItem(m_window, itemIn("pageParameter", "report" + QString::number(choice)));
        WAIT_COMPARE(contextObject("g_reportModel")->property("currentReport").toInt(), choice);
        WAIT_VERIFY(m_twoPage->reportRate() != before);

        showPage("pageLight", 5);
        QObject* logo = contextObject("g_lightModel")->property("logo").value<QObject*>();
        const int target = logo->property("model").toInt() == 1 ? 2 : 1;
        const int lightBefore = m_twoPage->lightMode();
        clickItem(m_window, itemIn("pageLight", "lightMode" + QString::number(target)));
        WAIT_COMPARE(logo->property("model").toInt(), target);
        WAIT_VERIFY(idle());
        WAIT_VERIFY(m_twoPage->lightMode() != lightBefore);

        showPage("pageParameter", 3);
        QQuickItem* button = nullptr;
        WAIT_VERIFY((button = findItem(itemIn("pageParameter", "msDevicePanel"), "key1")) != nullptr);
        clickItem(m_window, button);
        QObject* dialog = findObject(item("pageParameter"), "mouseKeySettingDialog");
        WAIT_VERIFY(dialog->property("visible").toBool());
        QCOMPARE(dialog->property("mSelectedKey").toInt(), 1);
        QVERIFY(QMetaObject::invokeMethod(item("pageParameter"), "closeDialog"));
        WAIT_VERIFY(!dialog->property("visible").toBool());
    }
};

QTEST_MAIN(TestMousePages)
#include "tst_mousepages.moc"
