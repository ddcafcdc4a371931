#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include "QuickTree.h"
#include "KeyboardWindowFixture.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {

// Keys of the keyboard's layout, by program key id.
constexpr int kEsc = 14;
constexpr int kCaps = 17;
constexpr int kQ = 24;
constexpr int kA = 25;
constexpr int kZ = 34;

// Key functions of the key model.
constexpr int kFunctionMute = 25;
constexpr int kFunctionZoomIn = 7;

// The XKB keycode of the A key (kernel event code 30 plus 8).
constexpr quint32 kNativeA = 38;


// Keyboard focus for the window. Without a window manager the X server gives the focus when asked, but a busy
// machine can take longer than one wait; ask again until it has it.
bool activate(QWindow* window)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < TestWait::kBoundMs) {
        window->requestActivate();
        if (QTest::qWaitForWindowActive(window, 2000))
            return true;
    }
    return false;
}

} // namespace

using namespace WindowTestSupport;

// The keyboard's pages as a user meets them: the real main window on the simulated keyboard, driven through
// the documents' own functions and clicks, with what reached the keyboard read back from its emulator.
class TestKeyboardPages : public QObject
{
    Q_OBJECT

private:
    KeyboardWindowFixture m_fixture;
    SimQuenbyKeyboard* m_keyboard = nullptr;
    QQuickWindow* m_window = nullptr;

    QObject* popupOfType(const QString& type) const { return findOfType(m_window, type); }

    bool shown(const QString& type) const { return isShown(m_window, type); }

    bool busy() const { return shown("HLoadDialog_new"); }

    void click(QQuickItem* item) { clickItem(m_window, item); }

    QQuickItem* keyButton(int key) const
    {
        return findItem(findItem(m_window, "kbDevicePanel"), "key" + QString::number(key));
    }

    QObject* dialog() const { return m_window->findChild<QObject*>("keySettingDialog"); }

    void showPage(int entry, const QString& page)
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, entry)));
        WAIT_VERIFY(findItem(m_window, page)->isVisible());
    }

    // Opens the key-setting dialog with a click on the key in the picture.
    void openDialogOn(int key)
    {
        showPage(3, "pageKbSetting");
        click(keyButton(key));
        WAIT_VERIFY(dialog()->property("visible").toBool());
        QCOMPARE(dialog()->property("mSelectedKey").toInt(), key);
    }

    void waitIdle()
    {
        WAIT_VERIFY(!busy());
        WAIT_VERIFY(!dialog()->property("visible").toBool());
    }

    // A click on the dial sets the value under the pointer: the top of a dial is the middle of its range, its
    // right edge three quarters of the way.
    void clickDial(const QString& name, qreal xShare, qreal yShare)
    {
        QQuickItem* dial = findItem(m_window, name);
        QVERIFY(dial);
        QVERIFY(dial->isEnabled());
        WAIT_VERIFY(!busy());
        const QPointF at = dial->mapToScene(QPointF(dial->width() * xShare, dial->height() * yShare));
        QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, at.toPoint());
        WAIT_VERIFY(!busy());
    }

    void chooseEffect(int index)
    {
        click(findItem(findItem(m_window, "lightMode"), "effect" + QString::number(index)));
        WAIT_VERIFY(!busy());
    }

    // A macro of two key strokes in the library, as the macro page saves one.
    static void writeMacro()
    {
        QJsonArray events;
        for (bool up : {false, true})
            events.append(QJsonObject{{"type", 0}, {"value1", 4}, {"value2", 30}, {"isUp", up}, {"text", "A"}});
        const QJsonObject macro{{"list", events}, {"ignoreTime", false}, {"playType", "1"}, {"times", 1},
                                {"macroName", "Two keys"}};
        // What an earlier run of the rename left behind.
        QFile::remove(ProgramFolders::macroRoot() + "/Renamed.json");
        QFile file(ProgramFolders::macroRoot() + "/Two keys.json");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(macro).toJson());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_window = m_fixture.start(DeviceIds::kKeyboardWired);
        QVERIFY(m_window);
        m_keyboard = m_fixture.keyboard();
        writeMacro();
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = m_fixture.stop();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup() { QVERIFY2(m_fixture.faults().isEmpty(), qPrintable(m_fixture.faults().join('\n'))); }

    // The dialog names the key it sets, and the window lays its mask behind it while it is open.
    void dialogShowsTheKeyBehindTheMask()
    {
        openDialogOn(kCaps);
        QCOMPARE(dialog()->property("mTitle").toString(), QString("Caps Key settings"));
        WAIT_VERIFY(shown("HMask"));
        // A click inside the dialog keeps it and the mask.
        click(findItem(m_window, "title"));
        QVERIFY(dialog()->property("visible").toBool());
        QVERIFY(shown("HMask"));
        click(findItem(dialog(), "closeButton"));
        WAIT_VERIFY(!dialog()->property("visible").toBool());
        WAIT_VERIFY(!shown("HMask"));
    }

    // Each choice of the dialog reaches the keyboard, and the key picture marks the key with what it does now.
    void choicesReachTheKeyboard_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("label");
        QTest::newRow("basic function") << "function" << kQ << int(SimKeyFunction::Kind::Consumer) << "Mute";
        QTest::newRow("combination") << "combination" << kZ << int(SimKeyFunction::Kind::Combination) << "Ctrl+A";
        QTest::newRow("disable") << "disable" << kA << int(SimKeyFunction::Kind::Disabled) << "Disable";
        QTest::newRow("macro") << "macro" << kCaps << int(SimKeyFunction::Kind::Macro) << "";
    }

    void choicesReachTheKeyboard()
    {
        QFETCH(QString, choice);
        QFETCH(int, key);
        QFETCH(int, kind);
        QFETCH(QString, label);
        openDialogOn(key);
        QObject* popup = dialog();
        if (choice == "function") {
            QVERIFY(QMetaObject::invokeMethod(popup, "selectTab", Q_ARG(QVariant, 3)));
            QObject* list = findObject(popup, "functionList");
            QVERIFY(list);
            // Mute is far down the list: scrolled to, as the user does.
            QObject* view = findObject(list, "functionListView");
            view->setProperty("contentY", view->property("contentHeight").toReal() - view->property("height").toReal());
            click(findItem(list, "function" + QString::number(kFunctionMute)));
            QCOMPARE(list->property("mSelectIndex").toInt(), kFunctionMute);
            click(findItem(popup, "ok"));
        } else if (choice == "combination") {
            QObject* group = findObject(popup, "keyGroup");
            click(findItem(group, "ctrl"));
            WAIT_COMPARE(group->property("hCompositeKey").toInt(), 1);
            click(findItem(group, "keyField"));
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, kNativeA, 'a', 0, "a");
            QCoreApplication::sendEvent(m_window, &press);
            WAIT_COMPARE(group->property("hQtCode").toInt(), int(Qt::Key_A));
            QCOMPARE(group->property("hKeyCode").toInt(), 0x1E);
            click(findItem(popup, "ok"));
        } else if (choice == "disable") {
            click(findItem(popup, "disableKey"));
        } else if (choice == "macro") {
            click(findItem(popup, "2"));
            QObject* macros = findObject(popup, "macroView");
            QObject* first = nullptr;
            WAIT_VERIFY((first = findObject(macros, "macroList")) != nullptr);
            QQuickItem* entry = nullptr;
            WAIT_VERIFY((entry = findItem(first, "macro_Two keys")) != nullptr);
            click(entry);
            WAIT_VERIFY(!macros->property("mCurrentFile").toString().isEmpty());
            click(findItem(popup, "ok"));
        }
        waitIdle();
        const SimKeyFunction function = m_keyboard->keyFunctionOfKey(key);
        QCOMPARE(int(function.kind()), kind);
        if (choice == "combination") {
            QCOMPARE(function.modifiers(), int(SimKeyFunction::Ctrl));
            QCOMPARE(function.usage(), 0x04);
        }
        if (choice == "macro")
            QVERIFY(!m_keyboard->decodeMacro(function.macroSlot()).events.isEmpty());
        QQuickItem* button = keyButton(key);
        WAIT_VERIFY(button->property("isChange").toBool());
        if (!label.isEmpty())
            WAIT_COMPARE(button->property("mName").toString(), label);
        QVERIFY(findItem(button, "label")->isVisible());
    }

    // A macro renamed in place in the dialog: an empty or a taken name is refused with a tip, a new one renames
    // the file.
    void macroRenamedInPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tip");
        QTest::newRow("empty") << "" << "Macro name cannot be empty";
        QTest::newRow("taken") << "New macro" << "Macro names cannot be the same";
        QTest::newRow("new") << "Renamed" << "";
    }

    void macroRenamedInPlace()
    {
        QFETCH(QString, name);
        QFETCH(QString, tip);
        openDialogOn(kEsc);
        click(findItem(dialog(), "2"));
        QQuickItem* entry = nullptr;
        WAIT_VERIFY((entry = findItem(findObject(dialog(), "macroList"), "macro_Two keys")) != nullptr);
        const QPointF centre = entry->mapToScene(QPointF(entry->width() / 2, entry->height() / 2));
        QTest::mouseDClick(m_window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
        QTest::keyClick(m_window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_window, Qt::Key_Backspace);
        for (const QChar c : name)
            QTest::keyClick(m_window, c.toLatin1());
        QTest::keyClick(m_window, Qt::Key_Return);
        const QString folder = ProgramFolders::macroRoot();
        if (tip.isEmpty()) {
            WAIT_VERIFY(QFile::exists(folder + "/" + name + ".json"));
            QVERIFY(!QFile::exists(folder + "/Two keys.json"));
        } else {
            WAIT_COMPARE(findItem(m_window, "suspension")->property("mText").toString(), tip);
            QVERIFY(QFile::exists(folder + "/Two keys.json"));
        }
        QVERIFY(QMetaObject::invokeMethod(dialog(), "closeDialog"));
        WAIT_VERIFY(!dialog()->property("visible").toBool());
    }

    // "Restore default" gives the key its factory function back, and the mark goes.
    void restoreDefault()
    {
        openDialogOn(kA);
        click(findItem(dialog(), "restoreDefault"));
        waitIdle();
        QCOMPARE(m_keyboard->keyFunctionOfKey(kA), SimKeyFunction::key(0x04));
        WAIT_VERIFY(!keyButton(kA)->property("isChange").toBool());
    }

    // "OK" on a tab without a choice assigns nothing.
    void okWithoutAChoiceWritesNothing_data()
    {
        QTest::addColumn<int>("tab");
        QTest::newRow("combination") << 1;
        QTest::newRow("macro") << 2;
        QTest::newRow("basic function") << 3;
    }

    void okWithoutAChoiceWritesNothing()
    {
        QFETCH(int, tab);
        openDialogOn(kEsc);
        m_keyboard->clearCommands();
        QVERIFY(QMetaObject::invokeMethod(dialog(), "selectTab", Q_ARG(QVariant, tab)));
        click(findItem(dialog(), "ok"));
        waitIdle();
        QVERIFY(m_keyboard->appliedWrites().isEmpty());
    }

    // On the key page a key pressed in the window lights in the picture while it keeps its factory function.
    void pressedKeyLightsInThePicture()
    {
        showPage(3, "pageKbSetting");
        QVERIFY(activate(m_window));
        QQuickItem* preview = findItem(findItem(m_window, "quenby8aKeys"), "pressed" + QString::number(kA));
        QVERIFY(preview);
        QCOMPARE(preview->property("mBrightness").toInt(), 0);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, kNativeA, 'a', 0, "a");
        QCoreApplication::sendEvent(m_window, &press);
        WAIT_COMPARE(preview->property("mBrightness").toInt(), 100);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, kNativeA, 'a', 0, "a");
        QCoreApplication::sendEvent(m_window, &release);
        WAIT_COMPARE(preview->property("mBrightness").toInt(), 0);
    }

    // Effect, brightness and speed reach the keyboard's light registers; an effect of fixed speed takes no speed.
    void lightSettingsReachTheKeyboard()
    {
        showPage(5, "pageKbLight");
        chooseEffect(3);
        chooseEffect(2); // Breathing mode
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRegLightMode)), 3);
        QVERIFY(findItem(m_window, "lightBreath")->property("active").toBool());

        // Two values each, so the last differs from what the model held (a value it holds is not sent again).
        clickDial("brightnessGauge", 0.95, 0.5);
        clickDial("brightnessGauge", 0.5, 0.1);
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRegLightBrightness)), 2);
        clickDial("speedGauge", 0.5, 0.1);
        clickDial("speedGauge", 0.95, 0.5);
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRegLightSpeed)), 4 - 3);

        chooseEffect(0); // always on: its speed is fixed
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRegLightMode)), 1);
        QVERIFY(!findItem(m_window, "speedGauge")->isEnabled());
        QVERIFY(findItem(m_window, "brightnessGauge")->isEnabled());
    }

    // A key's brightness, chosen in its dialog within the per-key range, reaches the keyboard.
    void perKeyBrightnessReachesTheKeyboard()
    {
        showPage(5, "pageKbLight");
        click(findItem(findItem(m_window, "kbDeviceLightPanel"), "light" + QString::number(kA)));
        QObject* dialog = m_window->findChild<QObject*>("keyLightDialog");
        WAIT_VERIFY(dialog->property("visible").toBool());
        WAIT_VERIFY(shown("HMask"));
        QCOMPARE(dialog->property("mSelectedKey").toInt(), kA);
        // A typed level stays within the range, and the field shows the level kept.
        auto* field = qobject_cast<QQuickItem*>(findOfType(findItem(dialog, "brightnessField"), "TextField"));
        QVERIFY(field);
        // (Twice too large: the second time the level kept does not change.)
        for (const auto& typed : {qMakePair(QByteArray("99"), 10), qMakePair(QByteArray("99"), 10),
                                  qMakePair(QByteArray("-3"), 0), qMakePair(QByteArray("4"), 4)}) {
            click(field);
            QTest::keyClick(m_window, Qt::Key_A, Qt::ControlModifier);
            for (const char c : typed.first)
                QTest::keyClick(m_window, c);
            QTest::keyClick(m_window, Qt::Key_Return);
            WAIT_COMPARE(dialog->property("mValue").toInt(), typed.second);
            QCOMPARE(field->property("text").toString(), QString::number(typed.second));
        }
        click(findItem(dialog, "send"));
        WAIT_VERIFY(!dialog->property("visible").toBool());
        WAIT_VERIFY(!busy());
        WAIT_COMPARE(int(m_keyboard->keyBrightnessAt(m_keyboard->positionOfKey(kA))), 4 * 25);
        WAIT_VERIFY(!shown("HMask"));
    }

    // In the single-key effect a key pressed in the window lights in the preview.
    void pressedKeyLightsThePreview()
    {
        showPage(5, "pageKbLight");
        chooseEffect(1); // Single light mode
        WAIT_COMPARE(int(m_keyboard->registerValue(SimQuenby::kRegLightMode)), 2);
        QVERIFY(activate(m_window));
        QQuickItem* view = nullptr;
        WAIT_VERIFY((view = findItem(m_window, "lightSignBreath")) && findItem(view, "light" + QString::number(kA)));
        QQuickItem* key = findItem(view, "light" + QString::number(kA));
        QVERIFY(!key->property("mIsDown").toBool());
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, kNativeA, 'a', 0, "a");
        QCoreApplication::sendEvent(m_window, &press);
        WAIT_VERIFY(key->property("mIsDown").toBool());
        QVERIFY(key->property("mBrightness").toInt() > 0);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, kNativeA, 'a', 0, "a");
        QCoreApplication::sendEvent(m_window, &release);
        WAIT_VERIFY(!key->property("mIsDown").toBool());
    }

    // The busy indicator is up while the keyboard works and goes after it; when the keyboard is pulled in the
    // middle of a write, the indicator, the dialog and the mask all go.
    void busyIndicatorFollowsDeviceWork()
    {
        QObject* loading = popupOfType("HLoadDialog_new");
        QSignalSpy opened(loading, SIGNAL(opened()));
        openDialogOn(kEsc);
        QVERIFY(QMetaObject::invokeMethod(dialog(), "selectTab", Q_ARG(QVariant, 3)));
        click(findItem(findObject(dialog(), "functionList"), "function" + QString::number(kFunctionZoomIn)));
        click(findItem(dialog(), "ok"));
        WAIT_VERIFY(!opened.isEmpty());
        waitIdle();
        QVERIFY(!shown("HMask"));

        // The keyboard stops answering, the user opens the dialog again, and pulls the cable.
        openDialogOn(kEsc);
        WAIT_VERIFY(shown("HMask"));
        m_keyboard->setStuckStatus(0);
        opened.clear();
        QVERIFY(QMetaObject::invokeMethod(dialog(), "restoreDefault"));
        WAIT_VERIFY(!opened.isEmpty());
        m_keyboard->unplug();
        WAIT_VERIFY(!busy());
        WAIT_VERIFY(!dialog()->property("visible").toBool());
        WAIT_VERIFY(!shown("HMask"));
        WAIT_VERIFY(findItem(m_window, "equipmentTesting")->isVisible());
    }
};

QTEST_MAIN(TestKeyboardPages)
#include "tst_keyboardpages.moc"
