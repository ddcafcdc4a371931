#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "models/keys/KMacroList.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"

#include "KeyboardWindowFixture.h"
#include "QuickTree.h"
#include "TipRecorder.h"
#include "WindowTestSupport.h"
#include "TestWait.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

using namespace WindowTestSupport;

namespace {

// A key of the keyboard's layout, by program key id.
constexpr int kCaps = 17;

// The HID keyboard usage of C.
constexpr int kUsageC = 0x06;

QString root() { return ProgramFolders::macroRoot(); }

QJsonObject readMacro(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void writeFile(const QString& path, const QByteArray& bytes = QByteArray())
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The key and mouse events of a list as "v+" / "v-" (value1, press or release); delays and positions left out.
QStringList strokes(const QVector<KMacroItem>& items)
{
    QStringList out;
    for (const KMacroItem& item : items) {
        if (item.type == 0 || item.type == 1)
            out << QString("%1%2%3").arg(item.type == 1 ? "m" : "").arg(item.value1).arg(item.isUp ? "-" : "+");
    }
    return out;
}

QStringList strokes(const QJsonArray& list)
{
    QVector<KMacroItem> items;
    for (const QJsonValue& v : list) {
        const QJsonObject o = v.toObject();
        items << KMacroItem(o["type"].toInt(), o["value1"].toInt(), o["value2"].toInt(), o["isUp"].toBool(),
                            o["text"].toString());
    }
    return strokes(items);
}

} // namespace

// The macro page as a user meets it: the real main window on the simulated keyboard; macros and folders made,
// renamed and refused through the library's menus, events recorded and edited in the editor, saved into the
// macro file, and a saved macro assigned to a key of the keyboard from the key-setting dialog.
class TestMacroPages : public QObject
{
    Q_OBJECT

private:
    KeyboardWindowFixture m_fixture;
    SimQuenbyKeyboard* m_keyboard = nullptr;
    QQuickWindow* m_window = nullptr;

    QObject* page() const { return findObject(m_window, "page7"); }
    QObject* library() const { return findObject(m_window, "macroFolder"); }
    QObject* editor() const { return findObject(m_window, "macroEditor"); }
    KMacroList* events() const
    {
        return qobject_cast<KMacroList*>(KAppManager::instance()->getUIManager()->getEngine()->rootContext()
                                             ->contextProperty("g_macroList").value<QObject*>());
    }

    QQuickItem* entry(const QString& name) const { return findItem(findObject(library(), "macroList"), "macro_" + name); }
    QQuickItem* eventRow(int index) const
    {
        return findItem(findObject(editor(), "eventList"), "event" + QString::number(index));
    }

    // The row once the list has made it: the list makes the rows of new events as it lays itself out.
    QQuickItem* row(int index) const
    {
        QQuickItem* found = nullptr;
        [&] { WAIT_VERIFY((found = eventRow(index)) != nullptr); }();
        return found;
    }

    void click(QQuickItem* item) { clickItem(m_window, item); }

    // As clickItem, with the right button: the busy indicator is modal and takes the click while it shows.
    void rightClick(QQuickItem* item, qreal yShare = 0.5)
    {
        QVERIFY(item);
        WAIT_VERIFY(!isShown(m_window, "HLoadDialog_new"));
        waitForLayout(m_window);
        const QPointF at = item->mapToScene(QPointF(item->width() / 2, item->height() * yShare));
        QTest::mouseClick(m_window, Qt::RightButton, Qt::NoModifier, at.toPoint());
    }

    // Chooses an entry of a popup menu of the library or the editor.
    void choose(QObject* owner, const QString& menu, const QString& item)
    {
        QObject* popup = findObject(owner, menu);
        QVERIFY(popup);
        WAIT_VERIFY(popup->property("visible").toBool());
        QQuickItem* option = nullptr;
        WAIT_VERIFY((option = findItem(popup->property("contentItem").value<QQuickItem*>(), item)) != nullptr);
        WAIT_VERIFY(option->isVisible());
        click(option);
    }

    void showPage()
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, 7)));
        WAIT_VERIFY(findItem(m_window, "page7")->isVisible());
    }

    // The library shown again from its top folder, as it is on disk.
    void showTop()
    {
        showPage();
        QVERIFY(QMetaObject::invokeMethod(library(), "initReturnBtn"));
    }

    void open(const QString& name)
    {
        QQuickItem* e = nullptr;
        WAIT_VERIFY((e = entry(name)) != nullptr);
        click(e);
    }

    void openMacro(const QString& name)
    {
        open(name);
        WAIT_COMPARE(editor()->property("mCurrentFile").toString(), root() + "/" + name + ".json");
    }

    // Types into the focused field as the user does (the field's validator sees every key).
    void type(const QString& text)
    {
        QTest::keyClick(m_window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_window, Qt::Key_Backspace);
        for (const QChar c : text)
            QTest::keyClick(m_window, c.toLatin1());
    }

    // A key pressed and released once the editor takes keys: while recording, or once a key is awaited after the
    // menu's "Key" or "Modify" and the menu has gone (a key sent before reaches the closing menu instead).
    void stroke(Qt::Key key)
    {
        QQuickItem* capture = findItem(editor(), "captureArea");
        QObject* menu = findObject(editor(), "eventMenu");
        QVERIFY(capture && menu);
        WAIT_VERIFY(!menu->property("visible").toBool() && capture->hasActiveFocus()
                    && (editor()->property("mRecoding").toBool() || editor()->property("mFlag").toInt() != 0));
        QTest::keyPress(m_window, key);
        QTest::keyRelease(m_window, key);
    }

    void closeMenus()
    {
        for (QObject* owner : {library(), editor()}) {
            for (const char* menu : {"menuEmpty", "menuFolder", "menuFile", "eventMenu"}) {
                if (QObject* popup = findObject(owner, menu))
                    QMetaObject::invokeMethod(popup, "close");
            }
        }
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The folders are the program's once the application has its name, which the program gives it at start.
        QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
        QDir(root()).removeRecursively();
        // Profiles of an earlier run would not match the fresh keyboard (the program would ask which to keep).
        QDir(ProgramFolders::profileRoot()).removeRecursively();
        m_window = m_fixture.start(DeviceIds::kKeyboardWired);
        QVERIFY(m_window);
        m_keyboard = m_fixture.keyboard();
        for (const QString& name : QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            QFile::remove(root() + "/" + name);
            QDir(root() + "/" + name).removeRecursively();
        }
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = m_fixture.stop();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup()
    {
        closeMenus();
        QVERIFY2(m_fixture.faults().isEmpty(), qPrintable(m_fixture.faults().join('\n')));
    }

    // The menu on empty space and the add button make macros; the menu makes folders, which open, and the first
    // row leads back up.
    void makesMacrosAndFolders()
    {
        showTop();
        QVERIFY(!findItem(library(), "returnButton")->isVisible());

        rightClick(findItem(library(), "emptySpace"), 0.9);
        choose(library(), "menuEmpty", "newMacro");
        WAIT_VERIFY(QFile::exists(root() + "/New macro.json"));
        WAIT_VERIFY(entry("New macro"));

        click(findItem(page(), "addMacro"));
        WAIT_VERIFY(QFile::exists(root() + "/New macro 2.json"));
        WAIT_VERIFY(entry("New macro 2"));

        rightClick(findItem(library(), "emptySpace"), 0.9);
        choose(library(), "menuEmpty", "newFolder");
        WAIT_VERIFY(QFileInfo(root() + "/New folder").isDir());
        open("New folder");
        WAIT_VERIFY(findItem(library(), "returnButton")->isVisible());
        WAIT_VERIFY(!entry("New macro"));

        // A macro made below the top lands in the folder shown.
        click(findItem(page(), "addMacro"));
        WAIT_VERIFY(QFile::exists(root() + "/New folder/New macro.json"));
        WAIT_VERIFY(entry("New macro"));

        click(findItem(library(), "returnButton"));
        WAIT_VERIFY(!findItem(library(), "returnButton")->isVisible());
        WAIT_VERIFY(entry("New macro 2"));

        // A folder deleted from its menu goes with what it holds.
        rightClick(entry("New folder"));
        choose(library(), "menuFolder", "delete");
        WAIT_VERIFY(!QFileInfo::exists(root() + "/New folder"));
        WAIT_VERIFY(!entry("New folder"));
    }

    // A full folder takes no further macro or folder: the user is told.
    void fullFolderRefuses_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("tip");
        QTest::newRow("macro") << false
                               << "Your current number of files has reached the limit and can't continue to add macro files";
        QTest::newRow("folder") << true
                                << "Your current number of files has reached the limit and can't continue to add folders";
    }

    void fullFolderRefuses()
    {
        QFETCH(bool, folder);
        QFETCH(QString, tip);
        const QString full = root() + "/Full";
        QDir().mkpath(full);
        for (int i = 0; i < 30; ++i)
            writeFile(full + QString("/m%1.json").arg(i, 2, 10, QChar('0')));
        showTop();
        open("Full");
        // (The list makes rows only for what it shows.)
        WAIT_VERIFY(entry("m00"));

        TipRecorder tips;
        if (folder) {
            // The list is full to the bottom: no empty space is left to click, the library's own call it is.
            QVERIFY(QMetaObject::invokeMethod(library(), "createFolder"));
        } else {
            click(findItem(page(), "addMacro"));
        }
        QVERIFY(tips.waitFor(tip));
        QCOMPARE(QDir(full).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 30);
        QDir(full).removeRecursively();
    }

    // A rename to an empty, taken or non-bare name is refused with a tip and leaves the file; a good one renames
    // the file and the name inside it.
    void renames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tip");
        const QString separators = "Names cannot contain \"/\" or \"\\\" and cannot be \".\" or \"..\"";
        QTest::newRow("slash") << "a/b" << separators;
        QTest::newRow("empty") << "" << "Macro name cannot be empty";
        QTest::newRow("backslash") << "a\\b" << separators;
        QTest::newRow("taken macro") << "Taken" << "Macro names cannot be the same";
        QTest::newRow("dot dot") << ".." << separators;
        QTest::newRow("taken folder") << "Sub" << "Folder names cannot be the same";
        QTest::newRow("good") << "Renamed" << "";
    }

    void renames()
    {
        QFETCH(QString, name);
        QFETCH(QString, tip);
        if (!QFile::exists(root() + "/Victim.json"))
            writeFile(root() + "/Victim.json", R"({"macroName":"Victim","playType":"1","ignoreTime":false,"times":1,"list":[]})");
        writeFile(root() + "/Taken.json");
        QDir().mkpath(root() + "/Sub");
        showTop();
        QQuickItem* victim = nullptr;
        WAIT_VERIFY((victim = entry("Victim")) != nullptr);
        rightClick(victim);
        choose(library(), "menuFile", "rename");
        WAIT_VERIFY(findItem(victim, "nameEditor")->hasActiveFocus());

        TipRecorder tips;
        type(name);
        QTest::keyClick(m_window, Qt::Key_Return);
        if (tip.isEmpty()) {
            WAIT_VERIFY(QFile::exists(root() + "/Renamed.json"));
            QVERIFY(!QFile::exists(root() + "/Victim.json"));
            QCOMPARE(readMacro(root() + "/Renamed.json")["macroName"].toString(), QString("Renamed"));
            WAIT_VERIFY(entry("Renamed"));
        } else {
            QVERIFY(tips.waitFor(tip));
            QVERIFY(QFile::exists(root() + "/Victim.json"));
            QVERIFY(!QFileInfo::exists(root() + "/a"));
            WAIT_VERIFY(entry("Victim"));
        }
    }

    // Keys pressed and buttons clicked on the list while recording become events; Save writes the play settings
    // and the events into the macro file.
    void recordsAndSaves()
    {
        writeFile(root() + "/Recorded.json");
        showTop();
        openMacro("Recorded");
        QCOMPARE(page()->property("isChange").toBool(), false);

        click(findItem(editor(), "recordButton"));
        WAIT_VERIFY(editor()->property("mRecoding").toBool());
        QVERIFY(page()->property("isChange").toBool());
        stroke(Qt::Key_A);
        stroke(Qt::Key_B);
        QQuickItem* list = findItem(editor(), "eventList");
        QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier,
                          list->mapToScene(QPointF(list->width() / 2, list->height() - 5)).toPoint());
        click(findItem(editor(), "recordButton"));
        WAIT_VERIFY(!editor()->property("mRecoding").toBool());
        const QStringList recorded{"4+", "4-", "5+", "5-", "m1+", "m1-"};
        QCOMPARE(strokes(events()->items()), recorded);

        click(findItem(page(), "playType3"));
        click(findItem(page(), "ignoreDelay"));
        TipRecorder tips;
        click(findItem(page(), "save"));
        QVERIFY(tips.waitFor("Saved successfully"));
        QCOMPARE(page()->property("isChange").toBool(), false);

        const QJsonObject saved = readMacro(root() + "/Recorded.json");
        QCOMPARE(saved["macroName"].toString(), QString("Recorded"));
        QCOMPARE(saved["playType"].toString(), QString("3"));
        QCOMPARE(saved["ignoreTime"].toBool(), true);
        QCOMPARE(saved["times"].toInt(), 1);
        QCOMPARE(strokes(saved["list"].toArray()), recorded);
        for (const QJsonValue& v : saved["list"].toArray())
            QVERIFY(v.toObject()["type"].toInt() != 2 || v.toObject()["value1"].toInt() > 0);
    }

    // The event menu inserts a key, a delay and a position, changes a key and deletes an event; the fields change
    // a delay and a position; Cancel reads the file again and Save keeps the edits.
    void editsEvents()
    {
        // Strokes of A and B and a left click, as the page saves them (no delays, so rows stay where expected).
        QJsonArray list;
        for (const auto& e : QList<QPair<int, int>>{{0, 4}, {0, 5}, {1, 1}}) {
            for (bool up : {false, true}) {
                list.append(QJsonObject{{"type", e.first}, {"value1", e.second}, {"value2", 0}, {"isUp", up},
                                        {"text", e.first == 1 ? "Mouse_Left" : (e.second == 4 ? "A" : "B")}});
            }
        }
        writeFile(root() + "/Edited.json",
                  QJsonDocument(QJsonObject{{"macroName", "Edited"}, {"playType", "1"}, {"ignoreTime", false},
                                            {"times", 2}, {"list", list}})
                      .toJson());
        showTop();
        openMacro("Edited");
        WAIT_VERIFY(eventRow(0));

        // A delay after the first event, then 0.25 s typed into it.
        rightClick(row(0));
        choose(editor(), "eventMenu", "menuAdd");
        choose(editor(), "eventMenu", "menuDelay");
        WAIT_COMPARE(events()->getItemType(1), 2);
        QCOMPARE(events()->items().at(1).value1, 100);
        QVERIFY(page()->property("isChange").toBool());
        QQuickItem* delay = findItem(row(1), "delayField");
        click(delay);
        type("0.25");
        QTest::keyClick(m_window, Qt::Key_Return);
        WAIT_COMPARE(events()->items().at(1).value1, 250);

        // The first key becomes C, keeping its press.
        rightClick(row(0));
        choose(editor(), "eventMenu", "menuModify");
        stroke(Qt::Key_C);
        WAIT_COMPARE(events()->items().at(0).value1, kUsageC);
        QCOMPARE(events()->items().at(0).isUp, false);

        // A stroke of D inserted after the release of B (now row 4).
        rightClick(row(4));
        choose(editor(), "eventMenu", "menuAdd");
        choose(editor(), "eventMenu", "menuKey");
        stroke(Qt::Key_D);
        WAIT_COMPARE(strokes(events()->items()),
                     (QStringList{"6+", "4-", "5+", "5-", "7+", "7-", "m1+", "m1-"}));

        // A position at the end, typed into its fields.
        rightClick(findItem(editor(), "listSpace"), 0.9);
        choose(editor(), "eventMenu", "menuAdd");
        choose(editor(), "eventMenu", "menuCoord");
        const int last = events()->size() - 1;
        WAIT_COMPARE(events()->getItemType(last), 4);
        click(findItem(row(last), "xField"));
        type("120");
        QTest::keyClick(m_window, Qt::Key_Return);
        WAIT_COMPARE(events()->items().at(last).value1, 120);

        // The delay deleted.
        rightClick(row(1));
        choose(editor(), "eventMenu", "menuDelete");
        WAIT_VERIFY(events()->getItemType(1) != 2);

        // Cancel: the file again.
        click(findItem(page(), "cancel"));
        WAIT_COMPARE(strokes(events()->items()), (QStringList{"4+", "4-", "5+", "5-", "m1+", "m1-"}));
        QCOMPARE(page()->property("isChange").toBool(), false);

        // The same changes of key kept by Save.
        rightClick(row(0));
        choose(editor(), "eventMenu", "menuModify");
        stroke(Qt::Key_C);
        WAIT_COMPARE(events()->items().at(0).value1, kUsageC);
        rightClick(row(1));
        choose(editor(), "eventMenu", "menuModify");
        stroke(Qt::Key_C);
        WAIT_COMPARE(events()->items().at(1).value1, kUsageC);
        TipRecorder tips;
        click(findItem(page(), "save"));
        QVERIFY(tips.waitFor("Saved successfully"));
        const QJsonObject saved = readMacro(root() + "/Edited.json");
        QCOMPARE(strokes(saved["list"].toArray()), (QStringList{"6+", "6-", "5+", "5-", "m1+", "m1-"}));
        QCOMPARE(saved["times"].toInt(), 2);
    }

    // A saved macro chosen in the key-setting dialog reaches the keyboard as the key's macro.
    void assignsToAKey()
    {
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, 3)));
        WAIT_VERIFY(findItem(m_window, "pageKbSetting")->isVisible());
        click(findItem(findItem(m_window, "kbDevicePanel"), "key" + QString::number(kCaps)));
        QObject* dialog = m_window->findChild<QObject*>("keySettingDialog");
        WAIT_VERIFY(dialog->property("visible").toBool());
        click(findItem(dialog, "2"));
        QObject* macros = findObject(dialog, "macroView");
        QQuickItem* recorded = nullptr;
        WAIT_VERIFY((recorded = findItem(findObject(macros, "macroList"), "macro_Recorded")) != nullptr);
        click(recorded);
        WAIT_VERIFY(!macros->property("mCurrentFile").toString().isEmpty());
        click(findItem(dialog, "ok"));
        WAIT_VERIFY(!isShown(m_window, "HLoadDialog_new"));
        WAIT_VERIFY(!dialog->property("visible").toBool());

        const SimKeyFunction function = m_keyboard->keyFunctionOfKey(kCaps);
        QCOMPARE(int(function.kind()), int(SimKeyFunction::Kind::Macro));
        const SimMacroRecord record = m_keyboard->decodeMacro(function.macroSlot());
        QVERIFY2(record.valid, qPrintable(record.error));
        QCOMPARE(record.playType, int(SimMacroRecord::WhileHeld));
        QStringList keys;
        for (const SimMacroEvent& event : record.events) {
            if (event.kind == SimMacroEvent::Kind::Key)
                keys << QString("%1%2").arg(event.usage).arg(event.press ? "+" : "-");
            else if (event.kind == SimMacroEvent::Kind::MouseButton)
                keys << QString("m%1%2").arg(event.button).arg(event.press ? "+" : "-");
        }
        QCOMPARE(keys, (QStringList{"4+", "4-", "5+", "5-", "m1+", "m1-"}));

        // Back on the macro page the library lists its own folder again.
        showPage();
        WAIT_VERIFY(entry("Recorded"));
    }
};

QTEST_MAIN(TestMacroPages)
#include "tst_macropages.moc"
