#include "JsonFiles.h"
#include "LogCapture.h"
#include "QuenbyKeyboardFixture.h"
#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "models/device/KImageModel.h"
#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KMacroList.h"
#include "models/keys/KMacroModel.h"
#include "profiles/KConfigFileController.h"
#include "TestWait.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>


namespace {

constexpr int kKey = KMacroItem::KeyboardKey;
constexpr int kButton = KMacroItem::MouseButton;
constexpr int kDelay = KMacroItem::Delay;
constexpr int kPointer = KMacroList::kPointerType;

// Events as the list stores them: keys by HID usage and name, buttons by number and name.
KMacroItem press(const QString& key, int usage = 0) { return KMacroItem(kKey, usage, 0, false, key); }
KMacroItem release(const QString& key, int usage = 0) { return KMacroItem(kKey, usage, 0, true, key); }
KMacroItem delay(int ms) { return KMacroItem(kDelay, ms, 0, false, QString()); }
KMacroItem pointer(int x, int y) { return KMacroItem(kPointer, x, y, false, QString()); }

QString describe(const QVector<KMacroItem>& events)
{
    QStringList parts;
    for (const KMacroItem& e : events)
        parts << QStringLiteral("%1:%2:%3:%4:%5").arg(e.type).arg(e.value1).arg(e.value2).arg(e.isUp).arg(e.text);
    return parts.join(QLatin1String(" "));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(writeFileBytes(path, bytes));
}

QByteArray macroDocument(const QJsonArray& list)
{
    return QJsonDocument(QJsonObject{{"macroName", "m"}, {"playType", "2"}, {"ignoreTime", true}, {"times", 7},
                                     {"list", list}})
        .toJson();
}

} // namespace

// The recording list: its edits and their announcements, the length limit, the tidying before a save, the
// file it writes and reads, its list model, and a recorded macro that ends up on the simulated keyboard.
class TestMacroList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RecordingServices> services;
    std::unique_ptr<KImageModel> image;
    QTemporaryDir configHome;
    std::unique_ptr<QTemporaryDir> folder;

    // A list holding the events as given (read from a file, so their flags are false).
    void fill(KMacroList& list, const QVector<KMacroItem>& events)
    {
        QJsonArray array;
        for (const KMacroItem& event : events)
            array.append(event.toJson());
        const QString path = folder->filePath("fill.json");
        writeFile(path, macroDocument(array));
        list.initFromFile(path);
        QCOMPARE(list.items(), events);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(configHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    }

    void init()
    {
        services.reset();
        services = std::make_unique<RecordingServices>();
        image = std::make_unique<KImageModel>();
        image->setMaxMacroLength(256);
        services->setImageModel(image.get());
        folder = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        services.reset();
        image.reset();
    }

    // --- edits ------------------------------------------------------------------------------------------

    void buildingEvents_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("value2");
        QTest::addColumn<KMacroItem>("event");

        QTest::newRow("keypad star") << kKey << int(Qt::Key_Asterisk) << 55 << KMacroItem(kKey, 85, 55, false, "*");
        QTest::newRow("star on the 8 key") << kKey << int(Qt::Key_Asterisk) << 9 << KMacroItem(kKey, 0x25, 9, false, "*");
        QTest::newRow("letter") << kKey << int(Qt::Key_A) << 30 << KMacroItem(kKey, 4, 30, false, "A");
        QTest::newRow("left button") << kButton << 1 << 0 << KMacroItem(kButton, 1, 0, false, "Mouse_Left");
        QTest::newRow("middle button") << kButton << 2 << 0 << KMacroItem(kButton, 2, 0, false, "Mouse_Mid");
        QTest::newRow("right button") << kButton << 3 << 0 << KMacroItem(kButton, 3, 0, false, "Mouse_Right");
        QTest::newRow("other button") << kButton << 5 << 0 << KMacroItem(kButton, 5, 0, false, "");
        QTest::newRow("delay") << kDelay << 120 << 0 << KMacroItem(kDelay, 120, 0, false, "");
        QTest::newRow("pointer") << kPointer << 10 << 20 << KMacroItem(kPointer, 10, 20, false, "");
        QTest::newRow("unknown type kept") << 9 << 1 << 2 << KMacroItem(9, 1, 2, false, "");
    }

    void buildingEvents()
    {
        QFETCH(int, type);
        QFETCH(int, value1);
        QFETCH(int, value2);
        QFETCH(KMacroItem, event);

        KMacroList list;
        QVERIFY(list.insertItemAt(type, value1, value2));
        QCOMPARE(list.items(), QVector<KMacroItem>{event});
        QVERIFY(list.changedItemAt(0, type, value1, value2, true));
        event.isUp = true;
        QCOMPARE(list.items(), QVector<KMacroItem>{event});
        QCOMPARE(list.getItemType(0), type);
    }

    void insertAt_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("row"); // -1: refused

        QTest::newRow("append") << -1 << 2;
        QTest::newRow("at the head") << 0 << 0;
        QTest::newRow("between") << 1 << 1;
        QTest::newRow("after the last") << 2 << 2;
        QTest::newRow("beyond the end") << 3 << -1;
        QTest::newRow("negative") << -2 << -1;
    }

    void insertAt()
    {
        QFETCH(int, index);
        QFETCH(int, row);

        KMacroList list;
        fill(list, {press("A", 4), release("A", 4)});
        QSignalSpy before(&list, &KMacroList::preItemInserted);
        QSignalSpy after(&list, &KMacroList::postItemInserted);

        QCOMPARE(list.insertItemAt(kDelay, 30, 0, false, index), row >= 0);
        if (row < 0) {
            QCOMPARE(before.size(), 0);
            QCOMPARE(after.size(), 0);
            QCOMPARE(list.size(), 2);
            return;
        }
        QCOMPARE(before.size(), 1);
        QCOMPARE(before.at(0).at(0).toInt(), row);
        QCOMPARE(after.size(), 1);
        QCOMPARE(list.items().at(row), delay(30));
        QVector<bool> flags{false, false};
        flags.insert(row, true);
        QCOMPARE(list.changeFlags(), flags);
    }

    void removeAndChange()
    {
        KMacroList list;
        fill(list, {press("A", 4), delay(5), release("A", 4)});
        QSignalSpy deleted(&list, &KMacroList::preItemDeleted);
        QSignalSpy reset(&list, &KMacroList::preResetItems);

        list.deleteItemAt(3);
        list.deleteItemAt(-1);
        QVERIFY(!list.changedItemAt(3, kDelay, 1));
        QVERIFY(!list.changedItemAt(-1, kDelay, 1));
        QCOMPARE(deleted.size(), 0);
        QCOMPARE(reset.size(), 0);
        QCOMPARE(list.getItemType(3), -1);
        QCOMPARE(list.getItemType(-1), -1);

        list.deleteItemAt(2);
        list.deleteItemAt(0);
        QCOMPARE(deleted.size(), 2);
        QCOMPARE(deleted.at(0).at(0).toInt(), 2);
        QCOMPARE(list.items(), QVector<KMacroItem>{delay(5)});
        QVERIFY(list.changedItemAt(0, kDelay, 9));
        QCOMPARE(reset.size(), 1);
        QCOMPARE(list.items(), QVector<KMacroItem>{delay(9)});
        QCOMPARE(list.changeFlags(), QVector<bool>{true});

        list.resetMacroList();
        QCOMPARE(reset.size(), 2);
        QCOMPARE(list.size(), 0);
        QCOMPARE(list.changeFlags().size(), 0);
    }

    // With a maximum of 4 the pending release of a held key counts: press A, release A, press B fill it.
    void maximumLength()
    {
        image->setMaxMacroLength(4);
        KMacroList list;
        QVERIFY(list.insertItemAt(kKey, Qt::Key_A, 30));
        QVERIFY(list.insertItemAt(kKey, Qt::Key_A, 30, true));
        QVERIFY(list.insertItemAt(kKey, Qt::Key_B, 48));
        QSignalSpy before(&list, &KMacroList::preItemInserted);
        QVERIFY(!list.insertItemAt(kKey, Qt::Key_B, 48, true));
        QVERIFY(!list.insertItemAt(kDelay, 10, 0, false, 0));
        QCOMPARE(before.size(), 0);
        QCOMPARE(list.size(), 3);
        QCOMPARE(services->tips, (QStringList{"1:Recording reaches the maximum length",
                                              "1:Recording reaches the maximum length"}));
        // Editing is not recording: an event can still be changed.
        QVERIFY(list.changedItemAt(2, kKey, Qt::Key_C, 46));
    }

    // --- tidying before a save --------------------------------------------------------------------------

    void tidying_data()
    {
        QTest::addColumn<QVector<KMacroItem>>("events");
        QTest::addColumn<QVector<KMacroItem>>("tidied");

        QTest::newRow("a held key is released at the end")
            << QVector<KMacroItem>{press("A"), delay(10), press("B"), release("B")}
            << QVector<KMacroItem>{press("A"), delay(10), press("B"), release("B"), release("A")};
        QTest::newRow("a release without its press goes")
            << QVector<KMacroItem>{release("B"), press("A"), release("A")}
            << QVector<KMacroItem>{press("A"), release("A")};
        QTest::newRow("delays between keys merge")
            << QVector<KMacroItem>{press("A"), release("A"), delay(100), delay(200), press("B"), release("B")}
            << QVector<KMacroItem>{press("A"), release("A"), delay(300), press("B"), release("B")};
        QTest::newRow("leading and trailing delays go")
            << QVector<KMacroItem>{delay(5), delay(6), press("A"), delay(10), release("A"), delay(70)}
            << QVector<KMacroItem>{press("A"), delay(10), release("A")};
        QTest::newRow("a merged delay stops at 99999")
            << QVector<KMacroItem>{press("A"), delay(60000), delay(50000), release("A")}
            << QVector<KMacroItem>{press("A"), delay(99999), release("A")};
        QTest::newRow("empty pointer events go")
            << QVector<KMacroItem>{pointer(0, 0), press("A"), pointer(5, 6), release("A")}
            << QVector<KMacroItem>{press("A"), pointer(5, 6), release("A")};
        QTest::newRow("auto-repeat stays")
            << QVector<KMacroItem>{press("A"), press("A"), press("A"), release("A")}
            << QVector<KMacroItem>{press("A"), press("A"), press("A"), release("A")};
        QTest::newRow("buttons pair like keys")
            << QVector<KMacroItem>{KMacroItem(kButton, 1, 0, false, "Mouse_Left")}
            << QVector<KMacroItem>{KMacroItem(kButton, 1, 0, false, "Mouse_Left"),
                                   KMacroItem(kButton, 1, 0, true, "Mouse_Left")};
        QTest::newRow("only delays") << QVector<KMacroItem>{delay(5), delay(6)} << QVector<KMacroItem>{};
    }

    void tidying()
    {
        QFETCH(QVector<KMacroItem>, events);
        QFETCH(QVector<KMacroItem>, tidied);

        QVector<bool> flags(events.size(), false);
        QCOMPARE(KMacroList::tidy(events, flags), !tidied.isEmpty());
        QCOMPARE(describe(events), describe(tidied));
        QCOMPARE(flags.size(), events.size());
    }

    void emptyListTidiesToNothing()
    {
        LogCapture log;
        QVector<KMacroItem> events;
        QVector<bool> flags;
        QVERIFY(!KMacroList::tidy(events, flags));
        QVERIFY(log.contains("[Error] macro is empty!!"));
    }

    // --- the file -----------------------------------------------------------------------------------------

    void saveWritesTheTidiedList()
    {
        const QString path = folder->filePath("m.json");
        writeFile(path, macroDocument(QJsonArray{QJsonObject{{"type", 0}, {"value1", 9}}}));
        KMacroList list;
        fill(list, {release("B", 5), press("A", 4), delay(100), delay(200), release("A", 4)});
        QVERIFY(list.insertItemAt(kKey, Qt::Key_C, 46, false, -1));
        QSignalSpy reset(&list, &KMacroList::preResetItems);
        QSignalSpy resetDone(&list, &KMacroList::postResetItems);
        LogCapture log;

        list.saveToFile(path);
        const QVector<KMacroItem> tidied{press("A", 4), delay(300), release("A", 4), KMacroItem(kKey, 6, 46, false, "C"),
                                         KMacroItem(kKey, 6, 46, true, "C")};
        QCOMPARE(describe(list.items()), describe(tidied));
        // The tidied list is announced, and every event keeps its flag: the read ones false, the new ones true.
        QCOMPARE(reset.size(), 1);
        QCOMPARE(resetDone.size(), 1);
        QCOMPARE(list.changeFlags(), (QVector<bool>{false, false, false, true, true}));
        QVERIFY(log.contains("[INFO]  1.save file successful!"));

        // The play settings stay, and the macro file reader reads back what the list holds.
        const QJsonObject document = readJsonObject(path);
        QCOMPARE(document.value("playType").toString(), QString("2"));
        QCOMPARE(document.value("times").toInt(), 7);
        QCOMPARE(document.value("ignoreTime").toBool(), true);
        KKeyModel::MacroFile read;
        QVERIFY(KKeyModel::readMacroFile(path, &read));
        QCOMPARE(describe(read.events), describe(tidied));
        QCOMPARE(read.playType, MacroPlayToggle);

        // Saving a tidy list again changes nothing and announces nothing.
        const QByteArray written = readFileBytes(path);
        list.saveToFile(path);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(readFileBytes(path), written);
    }

    void saveWritesOnlyIntoAMacroDocument_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<missing>": no file
        QTest::addColumn<QString>("log");

        QTest::newRow("missing") << QByteArray("<missing>") << "[Error] 1.write macro json error";
        QTest::newRow("empty") << QByteArray() << "[Error] 1.write macro json error";
        QTest::newRow("not JSON") << QByteArray("{\"list\": [") << "open error!";
        QTest::newRow("an array") << QByteArray("[1, 2]") << "open error!";
    }

    void saveWritesOnlyIntoAMacroDocument()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, log);

        const QString path = folder->filePath("m.json");
        if (content != "<missing>")
            writeFile(path, content);
        KMacroList list;
        QVERIFY(list.insertItemAt(kKey, Qt::Key_A, 30));
        LogCapture capture;
        list.saveToFile(path);
        QVERIFY2(capture.contains(log), qPrintable(capture.lines().join('\n')));
        if (content == "<missing>")
            QVERIFY(!QFile::exists(path));
        else
            QCOMPARE(readFileBytes(path), content);
        // Nothing was saved, so nothing was tidied.
        QCOMPARE(list.size(), 1);
    }

    // Play settings first, then the events: the file holds all five keys.
    void settingsThenEvents()
    {
        const QString path = folder->filePath("m.json");
        writeFile(path, "{}");
        HMacroType type;
        type.selectPlayType("3");
        type.setMacroName(QStringLiteral("jump"));
        KMacroList list;
        QVERIFY(list.insertItemAt(kKey, Qt::Key_A, 30));

        type.saveToFile(path);
        list.saveToFile(path);
        const QJsonObject document = readJsonObject(path);
        QCOMPARE(document.keys(), (QStringList{"ignoreTime", "list", "macroName", "playType", "times"}));
        QCOMPARE(document.value("list").toArray().size(), 2);
        QCOMPARE(document.value("macroName").toString(), QString("jump"));
    }

    void readingAFile()
    {
        const QString path = folder->filePath("m.json");
        writeFile(path, macroDocument(QJsonArray{
                            QJsonObject{{"type", 1}, {"value1", 3}, {"isUp", false}},
                            QJsonObject{{"type", 4}, {"value1", 7}, {"value2", 8}},
                            QJsonObject{{"type", 0}, {"value1", 4}, {"value2", 30}, {"isUp", true}, {"text", "A"}},
                            QJsonObject{},
                            5,
                            QJsonArray{1},
                        }));
        KMacroList list;
        QVERIFY(list.insertItemAt(kDelay, 1));
        QSignalSpy reset(&list, &KMacroList::postResetItems);
        LogCapture log;

        list.initFromFile(path);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(describe(list.items()),
                 describe({KMacroItem(kButton, 3, 0, false, "Mouse_Right"), pointer(7, 8),
                           KMacroItem(kKey, 4, 30, true, "A"), KMacroItem(kKey, 0, 0, false, "")}));
        QCOMPARE(list.changeFlags(), QVector<bool>(4, false));
        QVERIFY(log.contains("[INFO] refresh list"));

        // A file that cannot be parsed changes nothing; one that cannot be opened empties the list.
        const QString broken = folder->filePath("broken.json");
        writeFile(broken, "{\"list\": [");
        list.initFromFile(broken);
        QCOMPARE(list.size(), 4);
        QCOMPARE(reset.size(), 1);
        list.initFromFile(folder->filePath("missing.json"));
        QCOMPARE(list.size(), 0);
        QCOMPARE(list.changeFlags().size(), 0);
        QCOMPARE(reset.size(), 2);
        QVERIFY(log.contains("[Error] open macro json error"));
    }

    // --- the list model -------------------------------------------------------------------------------------

    void listModel()
    {
        KMacroList list;
        KMacroModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.setData(model.index(0), 1, KMacroModel::TypeRole));
        model.setMacroList(&list);
        fill(list, {press("A", 4), delay(20), release("A", 4)});
        QCOMPARE(model.rowCount(), 3);

        QSignalSpy aboutToInsert(&model, &QAbstractItemModel::rowsAboutToBeInserted);
        QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        // Rows change through the list only.
        QVERIFY(!model.insertRows(0, 2));
        QVERIFY(!model.removeRows(0, 1));
        QCOMPARE(aboutToInsert.size(), 0);
        QCOMPARE(aboutToRemove.size(), 0);
        QCOMPARE(model.rowCount(), 3);

        QVERIFY(list.insertItemAt(kDelay, 5, 0, false, 3));
        QCOMPARE(aboutToInsert.size(), 1);
        QCOMPARE(aboutToInsert.at(0).at(1).toInt(), 3);
        list.deleteItemAt(0);
        QCOMPARE(aboutToRemove.size(), 1);
        QCOMPARE(model.rowCount(), 3);

        const QModelIndex first = model.index(0);
        QCOMPARE(model.data(first, KMacroModel::Value1Role).toInt(), 20);
        QCOMPARE(model.data(model.index(2), KMacroModel::ChangeRole).toBool(), true);
        QCOMPARE(model.data(first, KMacroModel::ChangeRole).toBool(), false);
        QCOMPARE(model.data(model.index(1), KMacroModel::TextRole).toString(), QString("A"));
        QCOMPARE(model.data(model.index(1), KMacroModel::IsUpRole).toBool(), true);
        QCOMPARE(model.flags(first), Qt::ItemIsEditable);
        QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
        QCOMPARE(model.roleNames().value(Qt::UserRole + 5), QByteArray("change"));

        QVERIFY(model.setData(first, 40, KMacroModel::Value1Role));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(2).value<QVector<int>>(),
                 (QVector<int>{KMacroModel::Value1Role, KMacroModel::ChangeRole}));
        QCOMPARE(list.items().at(0), delay(40));
        QCOMPARE(list.changeFlags().at(0), true);
        QVERIFY(!model.setData(first, 40, KMacroModel::Value1Role));
        QVERIFY(!model.setData(first, false, KMacroModel::ChangeRole));
        QVERIFY(model.setData(first, "x", KMacroModel::TextRole));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(2).value<QVector<int>>(), QVector<int>{KMacroModel::TextRole});

        // Tidying on save reaches the model as a reset.
        const QString path = folder->filePath("m.json");
        writeFile(path, macroDocument({}));
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        list.saveToFile(path);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), list.size());

        {
            KMacroList other;
            model.setMacroList(&other);
        }
        QCOMPARE(model.rowCount(), 0);
    }

    // --- end to end -----------------------------------------------------------------------------------------

    // Recorded into the list, saved into the library with its play settings, selected and assigned to a key:
    // the keyboard plays what was recorded.
    void recordedMacroReachesTheKeyboard()
    {
        QuenbyKeyboardFixture keyboard;
        QVERIFY(keyboard.openDevice());
        KConfigFileController controller;
        HMacroName names;
        HMacroType type;
        KKeyModel model;
        services->setConfigFileController(&controller);
        services->setMacroName(&names);
        services->setMacroType(&type);
        services->setKeyModel(&model);
        model.deviceDataChange();
        const QString root = ProgramFolders::macroRoot();
        QVERIFY(QDir().mkpath(root));
        names.initFromFile();

        QVERIFY(controller.createMacro(root));
        const QString path = root + "/New macro.json";
        QCOMPARE(names.getItemText(0), QString("New macro"));

        KMacroList list;
        QVERIFY(list.insertItemAt(kDelay, 300));
        QVERIFY(list.insertItemAt(kKey, Qt::Key_A, 30));
        QVERIFY(list.insertItemAt(kDelay, 50));
        QVERIFY(list.insertItemAt(kKey, Qt::Key_A, 30, true));
        QVERIFY(list.insertItemAt(kKey, Qt::Key_B, 48));
        type.selectPlayType("3");
        type.setMacroName(QStringLiteral("New macro"));
        type.saveToFile(path);
        list.saveToFile(path);

        QCOMPARE(names.selectMacroItem(names.getItemIndex("New macro"), path, 14), 0);
        model.setMacroFunc(14, names.getMultiMacro());
        QVERIFY(QTest::qWaitFor([this] { return services->loadingStarts > 0 && services->open() == 0; }, TestWait::kBoundMs));
        QVERIFY2(services->tips.isEmpty(), qPrintable(services->tips.join('\n')));

        const SimKeyFunction function = keyboard.keyboard()->keyFunctionOfKey(14);
        QCOMPARE(function.kind(), SimKeyFunction::Kind::Macro);
        const SimMacroRecord record = keyboard.keyboard()->decodeMacro(function.macroSlot());
        QVERIFY2(record.valid, qPrintable(record.error));
        QCOMPARE(record.playType, int(SimMacroRecord::WhileHeld));
        QCOMPARE(record.events, (QList<SimMacroEvent>{SimMacroEvent::key(4, true, 50), SimMacroEvent::key(4, false),
                                                     SimMacroEvent::key(5, true), SimMacroEvent::key(5, false)}));

        QVERIFY(keyboard.removeDevice());
    }
};

QTEST_MAIN(TestMacroList)
#include "tst_macrolist.moc"
