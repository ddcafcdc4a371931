#include "RecordingServices.h"

#include "app/KAppCommon.h"
#include "models/device/KImageModel.h"
#include "models/keys/HMacroModel.h"
#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"
#include "profiles/KConfigFileController.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QStringList texts(const HMacroName& names)
{
    QStringList result;
    for (const HMacroNameItem& item : names.items())
        result << item.text;
    return result;
}

// A macro file whose document names the macro.
void writeMacro(const QString& path, const QString& name)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(QJsonDocument(QJsonObject{{"macroName", name}, {"playType", "1"}, {"list", QJsonArray()}}).toJson());
}

QString nameInFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<unreadable>");
    return QJsonDocument::fromJson(file.readAll()).object().value("macroName").toString();
}

QStringList onDisk(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestMacroName : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void insertCutsTheSuffix_data();
    void insertCutsTheSuffix();
    void insertStopsAtTheLimit();
    void itemText();
    void listsAFolder();
    void emptyPathListsTheMacroFolder();
    void foldersOutsideTheLibraryAreRefused_data();
    void foldersOutsideTheLibraryAreRefused();
    void lookups();
    void newMacrosAndFoldersAreListed();
    void renameRefusals_data();
    void renameRefusals();
    void renameMovesTheFileAndTheSelection();
    void deleteDropsTheSelection();
    void selectionModes_data();
    void selectionModes();
    void selectionAcrossFolders();
    void resetAndClear();
    void returnPath_data();
    void returnPath();
    void folderWalks();
    void listModel();

private:
    // The library with the files a test asks for, listed, and services with a controller and a device
    // picture whose leftKeyMacro the test sets.
    void listRoot(HMacroName& names, const QStringList& files);

    QString mRoot;
    std::unique_ptr<RecordingServices> mServices;
    std::unique_ptr<KConfigFileController> mController;
    std::unique_ptr<KImageModel> mImage;
};

void TestMacroName::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    mRoot = KAppCommon::instance()->getMacroFolderPath();
    QVERIFY(mRoot.contains(QLatin1String(".qttest")));
}

void TestMacroName::init()
{
    QDir(mRoot).removeRecursively();
    QVERIFY(QDir().mkpath(mRoot));
    // The previous services go first: each puts back what was installed before it.
    mServices.reset();
    mServices = std::make_unique<RecordingServices>();
    mController = std::make_unique<KConfigFileController>();
    mImage = std::make_unique<KImageModel>();
    mServices->setConfigFileController(mController.get());
    mServices->setImageModel(mImage.get());
}

void TestMacroName::listRoot(HMacroName& names, const QStringList& files)
{
    for (const QString& file : files) {
        if (file.endsWith('/'))
            QVERIFY(QDir().mkpath(mRoot + "/" + file));
        else
            writeMacro(mRoot + "/" + file, QFileInfo(file).completeBaseName());
    }
    names.initFromFile();
}

void TestMacroName::insertCutsTheSuffix_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");

    QTest::newRow("macro file at the end") << "New macro 3.json" << -1 << 2 << "New macro 3";
    QTest::newRow("two dots keep the first") << "jump.v2.json" << -1 << 2 << "jump.v2";
    QTest::newRow("no dot") << "New folder" << 0 << 0 << "New folder";
    QTest::newRow("between rows") << "b.json" << 1 << 1 << "b";
}

void TestMacroName::insertCutsTheSuffix()
{
    QFETCH(QString, text);
    QFETCH(int, index);
    QFETCH(int, row);
    QFETCH(QString, shown);

    HMacroName names;
    QVERIFY(names.insertItemAt("first.json"));
    QVERIFY(names.insertItemAt("last.json"));
    QSignalSpy before(&names, &HMacroName::preItemInserted);
    QSignalSpy after(&names, &HMacroName::postItemInserted);

    QVERIFY(names.insertItemAt(text, index, false, true, true));
    QCOMPARE(before.size(), 1);
    QCOMPARE(before.at(0).at(0).toInt(), row);
    QCOMPARE(after.size(), 1);
    QCOMPARE(names.getItemValue(), 3);
    QCOMPARE(names.items().at(row), (HMacroNameItem{shown, false, true, true}));
}

void TestMacroName::insertStopsAtTheLimit()
{
    HMacroName names;
    for (int i = 0; i < HMacroName::kMaxItems; ++i)
        QVERIFY(names.insertItemAt(QStringLiteral("m%1.json").arg(i)));
    QSignalSpy before(&names, &HMacroName::preItemInserted);
    QSignalSpy after(&names, &HMacroName::postItemInserted);

    QVERIFY(!names.insertItemAt("one more.json"));
    QVERIFY(!names.insertItemAt("at the head.json", 0, true));
    names.deleteItemAt(0);
    // Rows outside the list are refused; -1 is the end, getItemValue() the row after the last.
    QVERIFY(!names.insertItemAt("far.json", HMacroName::kMaxItems));
    QVERIFY(!names.insertItemAt("before.json", -2));
    QVERIFY(names.insertItemAt("last.json", HMacroName::kMaxItems - 1));
    QCOMPARE(names.getItemValue(), HMacroName::kMaxItems);
    QCOMPARE(before.size(), 1);
    QCOMPARE(before.at(0).at(0).toInt(), HMacroName::kMaxItems - 1);
    QCOMPARE(after.size(), 1);
    QCOMPARE(names.getItemText(0), QString("m1"));
    QCOMPARE(names.getItemText(HMacroName::kMaxItems - 1), QString("last"));
}

void TestMacroName::itemText()
{
    HMacroName names;
    QCOMPARE(names.getItemText(0), QString());
    names.insertItemAt("a.json");
    names.insertItemAt("b.json");
    QCOMPARE(names.getItemText(1), QString("b"));
    // One past the end reads as the last entry; anything further out reads as nothing.
    QCOMPARE(names.getItemText(2), QString("b"));
    QCOMPARE(names.getItemText(3), QString());
    QCOMPARE(names.getItemText(-1), QString());
}

void TestMacroName::listsAFolder()
{
    QVERIFY(QDir().mkpath(mRoot + "/sub/b folder"));
    QVERIFY(QDir().mkpath(mRoot + "/sub/A folder"));
    touch(mRoot + "/sub/z.json");
    touch(mRoot + "/sub/a.json");
    touch(mRoot + "/sub/notes.txt");
    touch(mRoot + "/sub/.hidden.json");
    touch(mRoot + "/outer.json");

    HMacroName names;
    names.insertItemAt("stale.json");
    QSignalSpy reset(&names, &HMacroName::preResetItems);
    QSignalSpy resetDone(&names, &HMacroName::postResetItems);

    names.initFromFile(mRoot + "/sub");
    QCOMPARE(reset.size(), 1);
    QCOMPARE(resetDone.size(), 1);
    // Folders first, each group by name; hidden entries are not shown.
    QCOMPARE(texts(names), (QStringList{"A folder", "b folder", "a", "notes", "z"}));
    QCOMPARE(names.items().at(0), (HMacroNameItem{"A folder", true, false, false}));
    QCOMPARE(names.items().at(2), (HMacroNameItem{"a", false, false, true}));

    // A folder that does not exist leaves the list as it was.
    names.initFromFile(mRoot + "/missing");
    QCOMPARE(reset.size(), 1);
    QCOMPARE(names.getItemValue(), 5);
}

void TestMacroName::emptyPathListsTheMacroFolder()
{
    QVERIFY(QDir().mkpath(mRoot + "/New folder"));
    touch(mRoot + "/New macro.json");

    HMacroName names;
    names.initFromFile();
    QCOMPARE(names.items(), (QVector<HMacroNameItem>{{"New folder", true, false, false}, {"New macro", false, false, true}}));
}

void TestMacroName::foldersOutsideTheLibraryAreRefused_data()
{
    QTest::addColumn<QString>("relative");

    QTest::newRow("parent of the macro folder") << "/..";
    QTest::newRow("climbs out through a sub-folder") << "/sub/../../";
    QTest::newRow("link to a folder outside") << "/link";
    QTest::newRow("sibling sharing the prefix") << "-other";
}

void TestMacroName::foldersOutsideTheLibraryAreRefused()
{
    QFETCH(QString, relative);

    QTemporaryDir outside;
    QVERIFY(outside.isValid());
    touch(outside.filePath("foreign.json"));
    QVERIFY(QDir().mkpath(mRoot + "/sub"));
    QVERIFY(QFile::link(outside.path(), mRoot + "/link"));
    QVERIFY(QDir().mkpath(mRoot + "-other"));
    touch(mRoot + "-other/foreign.json");

    HMacroName names;
    names.insertItemAt("kept.json");
    QSignalSpy reset(&names, &HMacroName::preResetItems);
    names.initFromFile(mRoot + relative);
    QCOMPARE(reset.size(), 0);
    QCOMPARE(texts(names), QStringList{"kept"});

    // The library itself and its sub-folders are listed.
    names.initFromFile(mRoot + "/sub");
    QCOMPARE(reset.size(), 1);
    QDir(mRoot + "-other").removeRecursively();
}


void TestMacroName::lookups()
{
    HMacroName names;
    QCOMPARE(names.getItemSelect(0), false);
    QCOMPARE(names.getItemIndex("a"), 0);
    QVERIFY(names.insertItemAt("folder", -1, true, false, false));
    QVERIFY(names.insertItemAt("a.json", -1, false, false));
    QVERIFY(names.insertItemAt("b.json", -1, false, true));

    QCOMPARE(names.getItemIndex("b"), 2);
    QCOMPARE(names.getItemIndex(mRoot + "/sub/b"), 2);
    QCOMPARE(names.getItemIndex("missing"), 0);
    QCOMPARE(names.getItemSelect(2), true);
    QCOMPARE(names.getItemSelect(3), true); // one past the end reads as the last entry
    QCOMPARE(names.getItemSelect(4), false);
    QCOMPARE(names.getItemSelect(-1), false);
    QVERIFY(names.fileIsFolder(0));
    QVERIFY(!names.fileIsFolder(1));
    QVERIFY(!names.fileIsFolder(3));
    QVERIFY(names.isFolderHaveSomeFile("folder"));
    QVERIFY(names.isFolderHaveSomeFile("a"));
    QVERIFY(!names.isFolderHaveSomeFile("a.json"));

    QVERIFY(names.changedItemAt(0, "renamed", false));
    QCOMPARE(names.items().at(0), (HMacroNameItem{"renamed", false, false, true}));
    QVERIFY(!names.changedItemAt(3, "nowhere", false));
}

void TestMacroName::newMacrosAndFoldersAreListed()
{
    HMacroName names;
    mServices->setMacroName(&names);
    names.initFromFile();

    QVERIFY(mController->createMacro(mRoot));
    QVERIFY(mController->createMacro(mRoot));
    QCOMPARE(texts(names), (QStringList{"New macro", "New macro 2"}));
    QCOMPARE(nameInFile(mRoot + "/New macro 2.json"), QString("New macro 2"));
    // A macro made in another folder is not a row of this one.
    QVERIFY(QDir().mkpath(mRoot + "/elsewhere"));
    QVERIFY(mController->createMacro(mRoot + "/elsewhere"));
    QCOMPARE(names.getItemValue(), 2);
    QVERIFY(QDir(mRoot + "/elsewhere").removeRecursively());

    // A new folder lists the library again: folders first, each group in the order of their names.
    QVERIFY(mController->createFolder(mRoot));
    QVERIFY(mController->createFolder(mRoot));
    QCOMPARE(texts(names), (QStringList{"New folder", "New folder 2", "New macro 2", "New macro"}));
    QCOMPARE(names.items().at(1), (HMacroNameItem{"New folder 2", true, false, false}));
    QCOMPARE(onDisk(mRoot), (QStringList{"New folder", "New folder 2", "New macro 2.json", "New macro.json"}));
}

void TestMacroName::renameRefusals_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("tip");

    const QString empty = "1:Macro name cannot be empty";
    const QString invalid = "1:Names cannot contain \"/\" or \"\\\" and cannot be \".\" or \"..\"";
    QTest::newRow("empty") << 1 << "" << empty;
    QTest::newRow("blanks") << 1 << "   " << empty;
    QTest::newRow("slash") << 1 << "x/y" << invalid;
    QTest::newRow("climbs out") << 1 << "../../escape" << invalid;
    QTest::newRow("backslash") << 1 << "x\\y" << invalid;
    QTest::newRow("dot dot") << 1 << ".." << invalid;
    QTest::newRow("dot") << 0 << "." << invalid;
    QTest::newRow("control character") << 1 << "a\nb" << invalid;
    QTest::newRow("another macro's name") << 1 << "b" << "1:Macro names cannot be the same";
    QTest::newRow("a folder's name") << 1 << "dir" << "1:Folder names cannot be the same";
    QTest::newRow("folder to a macro's name") << 0 << "a" << "1:Macro names cannot be the same";
}

void TestMacroName::renameRefusals()
{
    QFETCH(int, row);
    QFETCH(QString, newName);
    QFETCH(QString, tip);

    HMacroName names;
    listRoot(names, {"dir/", "a.json", "b.json"});
    // An entry added to the list only: a refusal shows the names on disk again.
    QVERIFY(names.insertItemAt("ghost.json"));
    const QStringList disk = onDisk(mRoot);
    QSignalSpy current(&names, &HMacroName::updateCurrentFile);

    QVERIFY(!names.renameMacroItem(row, newName, names.getItemText(row), mRoot + "/", true));
    QCOMPARE(mServices->tips, QStringList{tip});
    QCOMPARE(onDisk(mRoot), disk);
    QCOMPARE(texts(names), (QStringList{"dir", "a", "b"}));
    QCOMPARE(current.size(), 0);
    QVERIFY(!QFileInfo::exists(mRoot + "/../escape.json"));
}

void TestMacroName::renameMovesTheFileAndTheSelection()
{
    HMacroName names;
    mImage->setLeftKeyMacro(3);
    QVERIFY(QDir().mkpath(mRoot + "/dir"));
    writeMacro(mRoot + "/dir/c.json", "c");
    listRoot(names, {"a.json", "b.json"});
    QSignalSpy current(&names, &HMacroName::updateCurrentFile);

    // The same name: nothing to do.
    QVERIFY(names.renameMacroItem(1, "a", "a", mRoot, false));
    QCOMPARE(onDisk(mRoot), (QStringList{"a.json", "b.json", "dir"}));

    QCOMPARE(names.selectMacroItem(1, mRoot + "/a.json", 0), 1);
    names.initFromFile(mRoot + "/dir", false);
    QCOMPARE(names.selectMacroItem(0, mRoot + "/dir/c.json", 0), 0);
    names.initFromFile(mRoot, false);

    QVERIFY(names.renameMacroItem(1, "alpha", "a", mRoot + "/", true));
    QCOMPARE(onDisk(mRoot), (QStringList{"alpha.json", "b.json", "dir"}));
    QCOMPARE(nameInFile(mRoot + "/alpha.json"), QString("alpha"));
    QCOMPARE(names.items().at(1), (HMacroNameItem{"alpha", false, true, true}));
    QCOMPARE(current.size(), 1);
    QCOMPARE(current.at(0).at(0).toString(), QString("alpha"));

    QVERIFY(names.renameMacroItem(0, "folder", "dir", mRoot, false));
    QCOMPARE(onDisk(mRoot), (QStringList{"alpha.json", "b.json", "folder"}));
    QCOMPARE(names.items().at(0).text, QString("folder"));
    QCOMPARE(current.size(), 1);
    // The selection follows both renames and keeps its order.
    QCOMPARE(names.getMultiMacro(), (QVector<QString>{mRoot + "/alpha.json", mRoot + "/folder/c.json"}));
    QVERIFY(mServices->tips.isEmpty());

    // A file that went away meanwhile: the rename fails, is said so, and the list shows the disk again.
    QVERIFY(QFile::remove(mRoot + "/b.json"));
    QVERIFY(!names.renameMacroItem(2, "beta", "b", mRoot, false));
    QCOMPARE(mServices->tips, QStringList{"1:Rename failed"});
    QCOMPARE(texts(names), (QStringList{"folder", "alpha"}));
}

void TestMacroName::deleteDropsTheSelection()
{
    HMacroName names;
    mImage->setLeftKeyMacro(3);
    QVERIFY(QDir().mkpath(mRoot + "/dir"));
    writeMacro(mRoot + "/dir/c.json", "c");
    listRoot(names, {"a.json", "b.json"});
    QCOMPARE(names.selectMacroItem(2, mRoot + "/b.json", 0), 2);
    QCOMPARE(names.selectMacroItem(1, mRoot + "/a.json", 0), 1);
    names.initFromFile(mRoot + "/dir", false);
    QCOMPARE(names.selectMacroItem(0, mRoot + "/dir/c.json", 0), 0);
    names.initFromFile(mRoot, false);
    QSignalSpy deleted(&names, &HMacroName::preItemDeleted);

    names.deleteItemAt(3);
    names.deleteItemAt(-1);
    QCOMPARE(deleted.size(), 0);

    names.deleteItemAt(1);
    QCOMPARE(deleted.size(), 1);
    QCOMPARE(deleted.at(0).at(0).toInt(), 1);
    QCOMPARE(texts(names), (QStringList{"dir", "b"}));
    QCOMPARE(names.getMultiMacro(), (QVector<QString>{mRoot + "/b.json", mRoot + "/dir/c.json"}));
    // Removing a folder's row drops what was selected inside it; the disk is not touched.
    names.deleteItemAt(0);
    QCOMPARE(names.getMultiMacro(), QVector<QString>{mRoot + "/b.json"});
    QCOMPARE(onDisk(mRoot), (QStringList{"a.json", "b.json", "dir"}));
}

void TestMacroName::selectionModes_data()
{
    QTest::addColumn<int>("leftKeyMacro");
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("rows");     // rows selected in turn
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QList<int>>("selected"); // rows whose files are selected at the end, in order

    QTest::newRow("several macros on the left key")
        << 3 << 0 << QList<int>{1, 2, 3, 4} << QList<int>{1, 2, 3, -1} << QList<int>{1, 2, 3};
    QTest::newRow("again deselects") << 3 << 0 << QList<int>{1, 2, 3, 2, 4} << QList<int>{1, 2, 3, 2, 4}
                                     << QList<int>{1, 3, 4};
    QTest::newRow("order of selection kept") << 3 << 0 << QList<int>{3, 1} << QList<int>{3, 1} << QList<int>{3, 1};
    QTest::newRow("one macro per key on this device") << 2 << 0 << QList<int>{1, 2, 3} << QList<int>{1, 2, 3}
                                                      << QList<int>{3};
    QTest::newRow("another key") << 3 << 1 << QList<int>{1, 2} << QList<int>{1, 2} << QList<int>{2};
    QTest::newRow("same row twice in single mode") << 3 << 1 << QList<int>{2, 2} << QList<int>{2, 2}
                                                   << QList<int>{2};
    QTest::newRow("rows outside the list") << 3 << 0 << QList<int>{-1, 5, 1} << QList<int>{-1, -1, 1}
                                           << QList<int>{1};
}

void TestMacroName::selectionModes()
{
    QFETCH(int, leftKeyMacro);
    QFETCH(int, key);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, results);
    QFETCH(QList<int>, selected);

    HMacroName names;
    mImage->setLeftKeyMacro(leftKeyMacro);
    listRoot(names, {"dir/", "m1.json", "m2.json", "m3.json", "m4.json"});
    const auto pathOfRow = [&](int row) { return mRoot + "/" + names.getItemText(row) + ".json"; };

    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(names.selectMacroItem(rows.at(i), pathOfRow(rows.at(i)), key), results.at(i));

    QVector<QString> expected;
    for (int row : selected)
        expected << pathOfRow(row);
    QCOMPARE(names.getMultiMacro(), expected);
    QCOMPARE(names.getMacroItem(), selected.size());
    for (int row = 0; row < names.getItemValue(); ++row)
        QCOMPARE(names.getItemSelect(row), selected.contains(row));
}

void TestMacroName::selectionAcrossFolders()
{
    HMacroName names;
    mImage->setLeftKeyMacro(3);
    QVERIFY(QDir().mkpath(mRoot + "/B"));
    writeMacro(mRoot + "/B/b1.json", "b1");
    writeMacro(mRoot + "/B/b2.json", "b2");
    listRoot(names, {"B/", "a1.json", "a2.json"});

    // Row 1 of the library and row 1 of B are different macros.
    QCOMPARE(names.selectMacroItem(2, mRoot + "/a2.json", 0), 2);
    names.initFromFile(mRoot + "/B", false);
    QCOMPARE(names.selectMacroItem(0, mRoot + "/B/b1.json", 0), 0);
    QCOMPARE(names.selectMacroItem(1, mRoot + "/B/b2.json", 0), 1);
    QVERIFY(names.getItemSelect(0) && names.getItemSelect(1));
    names.initFromFile(mRoot, false);
    QCOMPARE(names.selectMacroItem(1, mRoot + "/a1.json", 0), -1);
    QVERIFY(!names.getItemSelect(1));
    QVERIFY(names.getItemSelect(2));
    QCOMPARE(names.getMultiMacro(), (QVector<QString>{mRoot + "/a2.json", mRoot + "/B/b1.json", mRoot + "/B/b2.json"}));

    // A listing with reset shows no marks; the selection itself stays.
    names.initFromFile(mRoot, true);
    QVERIFY(!names.getItemSelect(2));
    QCOMPARE(names.getMacroItem(), 3);

    // Only files of the library can be selected.
    QTemporaryDir outside;
    QCOMPARE(names.selectMacroItem(1, outside.filePath("x.json"), 1), -1);
    QCOMPARE(names.selectMacroItem(1, mRoot + "/../x.json", 1), -1);
    QCOMPARE(names.getMacroItem(), 3);
}

void TestMacroName::resetAndClear()
{
    HMacroName names;
    QVERIFY(!names.resetMacroItem());
    listRoot(names, {"a.json", "b.json"});
    names.selectMacroItem(0, mRoot + "/a.json");
    QSignalSpy reset(&names, &HMacroName::postResetItems);

    QVERIFY(names.clearMultiMacro());
    QCOMPARE(reset.size(), 0);
    QCOMPARE(names.getMacroItem(), 0);
    QVERIFY(names.getItemSelect(0)); // the mark stays until the list is reset

    names.selectMacroItem(1, mRoot + "/b.json");
    QVERIFY(names.resetMacroItem());
    QCOMPARE(reset.size(), 2);
    QCOMPARE(names.getMacroItem(), 0);
    QVERIFY(!names.getItemSelect(0) && !names.getItemSelect(1));
}

void TestMacroName::returnPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("parent");

    QTest::newRow("two levels down") << "/a/b/" << "/a";
    QTest::newRow("one level down") << "/a/" << "";
    QTest::newRow("the library") << "/" << "";
    QTest::newRow("above the library") << "/../../" << "";
    QTest::newRow("no slash at the end") << "/a/b" << "";
}

void TestMacroName::returnPath()
{
    QFETCH(QString, path);
    QFETCH(QString, parent);
    HMacroName names;
    QCOMPARE(names.getReturnPath(mRoot + path), mRoot + parent);
    QCOMPARE(names.getReturnPath(QString()), mRoot);
}

void TestMacroName::folderWalks()
{
    QVERIFY(QDir().mkpath(mRoot + "/x/y/z"));
    QVERIFY(QDir().mkpath(mRoot + "/w"));
    writeMacro(mRoot + "/x/y/m.json", "m");
    // A link back up the tree: walks must end all the same.
    QVERIFY(QFile::link(mRoot + "/x", mRoot + "/x/y/loop"));

    HMacroName names;
    names.initFromFile(mRoot + "/x/y");
    QCOMPARE(texts(names), (QStringList{"loop", "z", "m"}));
    QCOMPARE(names.getDirPath(mRoot, names.getItemIndex("z")), mRoot + "/x/y/z");
    QCOMPARE(names.getDirPath(mRoot + "/x", 1), mRoot + "/x/y/z");
    // No folder of that name: nothing, not the last folder visited.
    QCOMPARE(names.getDirPath(mRoot, 2), QString());
    QCOMPARE(names.getDirPath(mRoot + "/w", 1), QString());

    names.ergodicFolder(mRoot + "/x");
    QCOMPARE(texts(names), (QStringList{"loop", "z", "m", "y", "loop", "z", "m"}));
    QCOMPARE(names.items().at(4), (HMacroNameItem{"loop", true, false, false}));

    // The tree's entries keep their own paths: selecting one selects that file.
    mImage->setLeftKeyMacro(3);
    QCOMPARE(names.selectMacroItem(6, mRoot + "/x/y/m.json", 1), 6);
    QCOMPARE(names.getMultiMacro(), QVector<QString>{mRoot + "/x/y/m.json"});
}

void TestMacroName::listModel()
{
    HMacroName names;
    HMacroModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.data(model.index(0)), QVariant());

    QSignalSpy changed(&model, &HMacroModel::macroNameChanged);
    model.setMacroName(&names);
    QCOMPARE(changed.size(), 1);
    listRoot(names, {"dir/", "a.json"});
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    QVERIFY(names.insertItemAt("b.json", 1));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(model.rowCount(), 3);
    const QModelIndex b = model.index(1);
    QCOMPARE(model.data(b, HMacroModel::TextRole).toString(), QString("b"));
    QCOMPARE(model.data(b, HMacroModel::IsDirRole).toBool(), false);
    QCOMPARE(model.data(b, HMacroModel::IsTextRole).toBool(), true);
    QCOMPARE(model.data(model.index(0), HMacroModel::IsDirRole).toBool(), true);
    QCOMPARE(model.roleNames().value(Qt::UserRole + 3), QByteArray("isSelect"));

    names.selectMacroItem(2, mRoot + "/a.json");
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.data(model.index(2), HMacroModel::IsSelectRole).toBool(), true);
    names.deleteItemAt(1);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(model.rowCount(), 2);

    // A list that goes away leaves an empty model.
    {
        HMacroName other;
        other.insertItemAt("x.json");
        model.setMacroName(&other);
        QCOMPARE(model.rowCount(), 1);
    }
    QCOMPARE(model.rowCount(), 0);
    names.insertItemAt("after.json");
    QCOMPARE(model.rowCount(), 0);
}

QTEST_MAIN(TestMacroName)
#include "tst_macroname.moc"
