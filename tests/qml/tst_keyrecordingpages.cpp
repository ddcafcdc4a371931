#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "models/keys/KKey.h"
#include "models/keys/KMacroList.h"

#include "KeyboardWindowFixture.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

namespace {

// How X11 (and Wayland through XKB) delivers each key of a US keyboard with Num Lock on: the XKB keycode Qt
// reports as the native scan code and the Qt key, by the key's Windows virtual-key code and extended flag as
// the layout documents name the key.
struct DeliveredKey {
    int vkCode;
    bool extended;
    int xkbKeycode;
    int qtKey;
};

constexpr DeliveredKey kDelivered[] = {
    {0x1B, false, 9, Qt::Key_Escape},
    {0x31, false, 10, Qt::Key_1}, {0x32, false, 11, Qt::Key_2}, {0x33, false, 12, Qt::Key_3},
    {0x34, false, 13, Qt::Key_4}, {0x35, false, 14, Qt::Key_5}, {0x36, false, 15, Qt::Key_6},
    {0x37, false, 16, Qt::Key_7}, {0x38, false, 17, Qt::Key_8}, {0x39, false, 18, Qt::Key_9},
    {0x30, false, 19, Qt::Key_0},
    {0xBD, false, 20, Qt::Key_Minus}, {0xBB, false, 21, Qt::Key_Equal}, {0x08, false, 22, Qt::Key_Backspace},
    {0x09, false, 23, Qt::Key_Tab},
    {'Q', false, 24, Qt::Key_Q}, {'W', false, 25, Qt::Key_W}, {'E', false, 26, Qt::Key_E},
    {'R', false, 27, Qt::Key_R}, {'T', false, 28, Qt::Key_T}, {'Y', false, 29, Qt::Key_Y},
    {'U', false, 30, Qt::Key_U}, {'I', false, 31, Qt::Key_I}, {'O', false, 32, Qt::Key_O},
    {'P', false, 33, Qt::Key_P},
    {0xDB, false, 34, Qt::Key_BracketLeft}, {0xDD, false, 35, Qt::Key_BracketRight},
    {0x0D, false, 36, Qt::Key_Return}, {0xA2, false, 37, Qt::Key_Control},
    {'A', false, 38, Qt::Key_A}, {'S', false, 39, Qt::Key_S}, {'D', false, 40, Qt::Key_D},
    {'F', false, 41, Qt::Key_F}, {'G', false, 42, Qt::Key_G}, {'H', false, 43, Qt::Key_H},
    {'J', false, 44, Qt::Key_J}, {'K', false, 45, Qt::Key_K}, {'L', false, 46, Qt::Key_L},
    {0xBA, false, 47, Qt::Key_Semicolon}, {0xDE, false, 48, Qt::Key_Apostrophe},
    {0xC0, false, 49, Qt::Key_QuoteLeft}, {0xA0, false, 50, Qt::Key_Shift}, {0xDC, false, 51, Qt::Key_Backslash},
    {'Z', false, 52, Qt::Key_Z}, {'X', false, 53, Qt::Key_X}, {'C', false, 54, Qt::Key_C},
    {'V', false, 55, Qt::Key_V}, {'B', false, 56, Qt::Key_B}, {'N', false, 57, Qt::Key_N},
    {'M', false, 58, Qt::Key_M},
    {0xBC, false, 59, Qt::Key_Comma}, {0xBE, false, 60, Qt::Key_Period}, {0xBF, false, 61, Qt::Key_Slash},
    {0xA1, true, 62, Qt::Key_Shift}, {0x6A, false, 63, Qt::Key_Asterisk}, {0xA4, false, 64, Qt::Key_Alt},
    {0x20, false, 65, Qt::Key_Space}, {0x14, false, 66, Qt::Key_CapsLock},
    {0x70, false, 67, Qt::Key_F1}, {0x71, false, 68, Qt::Key_F2}, {0x72, false, 69, Qt::Key_F3},
    {0x73, false, 70, Qt::Key_F4}, {0x74, false, 71, Qt::Key_F5}, {0x75, false, 72, Qt::Key_F6},
    {0x76, false, 73, Qt::Key_F7}, {0x77, false, 74, Qt::Key_F8}, {0x78, false, 75, Qt::Key_F9},
    {0x79, false, 76, Qt::Key_F10},
    {0x90, true, 77, Qt::Key_NumLock}, {0x91, false, 78, Qt::Key_ScrollLock},
    {0x67, false, 79, Qt::Key_7}, {0x68, false, 80, Qt::Key_8}, {0x69, false, 81, Qt::Key_9},
    {0x6D, false, 82, Qt::Key_Minus}, {0x64, false, 83, Qt::Key_4}, {0x65, false, 84, Qt::Key_5},
    {0x66, false, 85, Qt::Key_6}, {0x6B, false, 86, Qt::Key_Plus}, {0x61, false, 87, Qt::Key_1},
    {0x62, false, 88, Qt::Key_2}, {0x63, false, 89, Qt::Key_3}, {0x60, false, 90, Qt::Key_0},
    {0x6E, false, 91, Qt::Key_Period},
    {0x7A, false, 95, Qt::Key_F11}, {0x7B, false, 96, Qt::Key_F12},
    {0x0D, true, 104, Qt::Key_Enter}, {0xA3, true, 105, Qt::Key_Control}, {0x6F, true, 106, Qt::Key_Slash},
    {0x2C, true, 107, Qt::Key_Print}, {0xA5, true, 108, Qt::Key_Alt},
    {0x24, true, 110, Qt::Key_Home}, {0x26, true, 111, Qt::Key_Up}, {0x21, true, 112, Qt::Key_PageUp},
    {0x25, true, 113, Qt::Key_Left}, {0x27, true, 114, Qt::Key_Right}, {0x23, true, 115, Qt::Key_End},
    {0x28, true, 116, Qt::Key_Down}, {0x22, true, 117, Qt::Key_PageDown}, {0x2D, true, 118, Qt::Key_Insert},
    {0x2E, true, 119, Qt::Key_Delete}, {0x13, false, 127, Qt::Key_Pause},
    {0x5B, true, 133, Qt::Key_Super_L}, {0x5C, true, 134, Qt::Key_Super_R}, {0x5D, true, 135, Qt::Key_Menu},
};

// The keypad keys X11 flags with the keypad modifier.
bool onKeypad(int vkCode, bool extended)
{
    return (vkCode >= 0x60 && vkCode <= 0x6F) || (vkCode == 0x0D && extended);
}

// The HID usage of a keyboard-key function (58-125 lie 54 above it, 127-156 55 above, the modifiers 171-178 53
// below); 0 for the others.
int usageOfFunction(int function)
{
    if (function >= 58 && function <= 125)
        return function - 54;
    if (function >= 127 && function <= 156)
        return function - 55;
    if (function >= 171 && function <= 178)
        return function + 53;
    return 0;
}

QString macroRoot() { return ProgramFolders::macroRoot(); }

} // namespace

// Every key of every keyboard layout the program ships, pressed as this platform delivers it, is recorded with
// its own USB usage by the macro page's editor, by the earlier macro editor and by the key combination field:
// the three convert the window's native scan code through the key model alike.
class TestKeyRecordingPages : public QObject
{
    Q_OBJECT

private:
    KeyboardWindowFixture m_fixture;
    QQuickWindow* m_window = nullptr;
    std::unique_ptr<QObject> m_earlierEditor;
    std::unique_ptr<QObject> m_combination;

    QQmlApplicationEngine* engine() const { return KAppManager::instance()->getUIManager()->getEngine(); }
    QObject* pageEditor() const { return findObject(m_window, "macroEditor"); }
    KMacroList* events() const
    {
        return qobject_cast<KMacroList*>(engine()->rootContext()->contextProperty("g_macroList").value<QObject*>());
    }

    // A document of the program made into the window, on the program's own context.
    std::unique_ptr<QObject> make(const QByteArray& body)
    {
        QQmlComponent component(engine());
        component.setData("import QtQuick 2.12\nimport \"qrc:/widgets\"\nimport \"qrc:/panel\"\n" + body,
                          QUrl("qrc:/probe/Probe.qml"));
        std::unique_ptr<QObject> object(component.create(engine()->rootContext()));
        if (!object) {
            qWarning().noquote() << component.errorString();
            return object;
        }
        if (auto* item = qobject_cast<QQuickItem*>(object.get()))
            item->setParentItem(m_window->contentItem());
        return object;
    }

    // The key as the window receives it from the system: Qt's key and the XKB keycode as native scan code.
    void send(QEvent::Type type, int qtKey, int nativeCode, bool keypad)
    {
        QKeyEvent event(type, qtKey, keypad ? Qt::KeypadModifier : Qt::NoModifier, quint32(nativeCode),
                        0, 0);
        QGuiApplication::sendEvent(m_window, &event);
    }

    void stroke(int qtKey, int nativeCode, bool keypad)
    {
        send(QEvent::KeyPress, qtKey, nativeCode, keypad);
        send(QEvent::KeyRelease, qtKey, nativeCode, keypad);
    }

    // The key events of the macro list as "usage+" and "usage-".
    QStringList recordedKeys() const
    {
        QStringList keys;
        for (const KMacroItem& item : events()->items()) {
            if (item.type == 0)
                keys << QString::number(item.value1) + (item.isUp ? "-" : "+");
        }
        return keys;
    }

    static void focus(QObject* item)
    {
        QVERIFY(item);
        QVERIFY(QMetaObject::invokeMethod(item, "forceActiveFocus"));
        QTRY_VERIFY(qobject_cast<QQuickItem*>(item)->hasActiveFocus());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The folders are the program's once the application has its name, which the program gives it at start.
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(macroRoot()).removeRecursively();
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        m_window = m_fixture.start(DeviceIds::kKeyboardWired);
        QVERIFY(m_window);
        QVERIFY(QDir().mkpath(macroRoot()));
        const QString path = macroRoot() + "/Keys.json";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        // The macro page's editor, recording into the macro opened from the library.
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, 7)));
        QTRY_VERIFY(findItem(m_window, "page7") && findItem(m_window, "page7")->isVisible());
        QVERIFY(QMetaObject::invokeMethod(findObject(m_window, "macroFolder"), "initReturnBtn"));
        QQuickItem* entry = nullptr;
        QTRY_VERIFY((entry = findItem(findObject(findObject(m_window, "macroFolder"), "macroList"), "macro_Keys")));
        clickItem(m_window, entry);
        QTRY_COMPARE(pageEditor()->property("mCurrentFile").toString(), path);
        clickItem(m_window, findItem(pageEditor(), "recordButton"));
        QTRY_VERIFY(pageEditor()->property("mRecoding").toBool());

        // The earlier editor on the same macro, and the combination field of the key dialog.
        m_earlierEditor = make("KMacroEditor { width: 300; height: 300 }");
        QVERIFY(m_earlierEditor);
        QVERIFY(QMetaObject::invokeMethod(m_earlierEditor.get(), "loadFile", Q_ARG(QVariant, path)));
        m_combination = make("FSelectKeyGroupView { width: 300; height: 200 }");
        QVERIFY(m_combination);
    }

    void cleanupTestCase()
    {
        m_combination.reset();
        m_earlierEditor.reset();
        m_window = nullptr;
        const QStringList faults = m_fixture.stop();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void everyLayoutKey_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("nativeCode");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<int>("usage");

        int layouts = 0;
        QDirIterator it(QStringLiteral(CORVANE_SOURCE_DIR "/resources"), {"*Layout.json"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll();
            if (bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            const QJsonArray keys = QJsonDocument::fromJson(bytes).object()["key"].toObject()["keyBtn"].toArray();
            if (keys.isEmpty() || !keys.first().toObject().contains("vkCode"))
                continue;
            ++layouts;
            const QString layout = QFileInfo(file.fileName()).completeBaseName();
            for (const QJsonValue& value : keys) {
                const QJsonObject key = value.toObject();
                const int vkCode = key["vkCode"].toInt();
                const bool extended = key["extended"].toBool();
                // Fn, Win lock and the like never reach the computer.
                if (vkCode == 0)
                    continue;
                const DeliveredKey* delivered = nullptr;
                for (const DeliveredKey& row : kDelivered) {
                    if (row.vkCode == vkCode && row.extended == extended)
                        delivered = &row;
                }
                const QString name = layout + "/" + key["name"].toString();
                QVERIFY2(delivered, qPrintable("no delivery known for " + name));
                const int usage = usageOfFunction(key["defaultFunc"].toInt());
                QVERIFY2(usage != 0, qPrintable("no usage for " + name));
                QTest::newRow(qPrintable(name))
                    << delivered->qtKey << delivered->xkbKeycode << onKeypad(vkCode, extended) << usage;
            }
        }
        QVERIFY(layouts >= 2);
    }

    void everyLayoutKey()
    {
        QFETCH(int, qtKey);
        QFETCH(int, nativeCode);
        QFETCH(bool, keypad);
        QFETCH(int, usage);
        const QStringList expected{QString::number(usage) + "+", QString::number(usage) + "-"};

        // The macro page, recording.
        focus(findItem(pageEditor(), "captureArea"));
        events()->resetMacroList();
        stroke(qtKey, nativeCode, keypad);
        QCOMPARE(recordedKeys(), expected);

        // The earlier macro editor, recording.
        events()->resetMacroList();
        QVERIFY(QMetaObject::invokeMethod(m_earlierEditor.get(), "startRecording"));
        QVERIFY(m_earlierEditor->property("mRecording").toBool());
        stroke(qtKey, nativeCode, keypad);
        QCOMPARE(recordedKeys(), expected);
        QVERIFY(QMetaObject::invokeMethod(m_earlierEditor.get(), "stopRecording"));

        // The key combination field: the key it keeps is the one setCompositeKey turns into the usage.
        focus(findItem(m_combination.get(), "keyField"));
        send(QEvent::KeyPress, qtKey, nativeCode, keypad);
        QCOMPARE(m_combination->property("hQtCode").toInt(), qtKey);
        QCOMPARE(::qtKeyToHidUsage(m_combination->property("hQtCode").toInt(),
                                   m_combination->property("hKeyCode").toInt()),
                 usage);
        send(QEvent::KeyRelease, qtKey, nativeCode, keypad);
    }
};

QTEST_MAIN(TestKeyRecordingPages)
#include "tst_keyrecordingpages.moc"
