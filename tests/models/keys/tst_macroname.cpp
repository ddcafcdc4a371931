#include "app/KAppCommon.h"
#include "models/keys/HMacroName.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

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

private:
    QString mRoot;
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
    QTest::newRow("beyond the end") << "far.json" << 7 << 2 << "far";
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
    QCOMPARE(names.getItemValue(), HMacroName::kMaxItems);
    QCOMPARE(before.size(), 0);
    QCOMPARE(after.size(), 0);
    QCOMPARE(names.getItemText(0), QString("m0"));
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

QTEST_MAIN(TestMacroName)
#include "tst_macroname.moc"
