#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "models/keys/HMacroName.h"
#include "online/KNetCommon.h"
#include "profiles/FileHelpers.h"
#include "profiles/FileRegistration.h"
#include "profiles/HConfigView.h"

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestCreatedFiles : public QObject
{
    Q_OBJECT

private slots:
    // The program this test started goes before the application object does (its engine needs it).
    void cleanupTestCase() { KAppManager::instance()->shutdown(); }

    void initTestCase();
    void init();

    void newProfilesAreListed();
    void existingFileAddsNoRow();
    void fullListKeepsTheFile();
    void entryIcons();
    void newMacroIsListed();
    void fullMacroTreeKeepsTheFile();
    void newFoldersAreListed_data();
    void newFoldersAreListed();

private:
    HConfigView* view() const { return KAppManager::instance()->getUIManager()->getConfigView(); }
    HMacroName* macros() const { return KAppManager::instance()->getUIManager()->getMacroName(); }
    QStringList macroTexts() const;
    QScopedPointer<QTemporaryDir> mDir;
    QString mMacroRoot;
};

QStringList TestCreatedFiles::macroTexts() const
{
    QStringList result;
    for (const HMacroNameItem& item : macros()->items())
        result << item.text;
    return result;
}

void TestCreatedFiles::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    KNetCommon::setCheckHost(QStringLiteral("localhost")); // the manager starts the online check
    QVERIFY(KAppManager::instance()->init());
    QVERIFY(view());
    QVERIFY(macros());
    mMacroRoot = KAppCommon::instance()->getMacroFolderPath();
    QVERIFY(mMacroRoot.contains(QLatin1String(".qttest")));
}

void TestCreatedFiles::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());

    // The macro library holds one folder and one file; the tree shows it.
    QDir(mMacroRoot).removeRecursively();
    QVERIFY(QDir().mkpath(mMacroRoot + "/New folder 3"));
    QFile file(mMacroRoot + "/file.json");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    macros()->initFromFile();
    QCOMPARE(macroTexts(), (QStringList{"New folder 3", "file"}));
}

void TestCreatedFiles::newProfilesAreListed()
{
    const int before = view()->getItemValue();
    QSignalSpy inserted(view(), &HConfigView::preItemInserted);

    QVERIFY(createDefaultFile(mDir->filePath("ZEPHRA/New configuration 2.json"), CreatedFileKind::NewProfile));
    QCOMPARE(view()->getItemValue(), before + 1);
    QCOMPARE(view()->items().constLast(),
             (HConfigViewItem{"New configuration 2", false, "qrc:/common/newUI/configPic1.png"}));

    // The default profile goes right after the placeholder; the kind, not the name, decides.
    QVERIFY(createDefaultFile(mDir->filePath("ZEPHRA/Mine.json"), CreatedFileKind::DefaultProfile));
    QCOMPARE(view()->items().at(1).text, QString("Mine"));

    QVERIFY(createDefaultFile(mDir->filePath("macro/New configuration 3.json"), CreatedFileKind::MacroFile));
    QCOMPARE(view()->getItemValue(), before + 2);
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted.at(1).at(0).toInt(), 1);
}

void TestCreatedFiles::existingFileAddsNoRow()
{
    QDir().mkpath(mDir->filePath("ZEPHRA"));
    QFile existing(mDir->filePath("ZEPHRA/New configuration.json"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("{\"configVersion\": 2}");
    existing.close();

    const int before = view()->getItemValue();
    QVERIFY(createDefaultFile(existing.fileName(), CreatedFileKind::NewProfile));
    QCOMPARE(view()->getItemValue(), before);
    QCOMPARE(existing.size(), qint64(20));
}

void TestCreatedFiles::fullListKeepsTheFile()
{
    while (view()->getItemValue() < HConfigView::kMaxItems)
        QVERIFY(view()->insertItemAt("filler.json"));
    QSignalSpy inserted(view(), &HConfigView::preItemInserted);
    QVERIFY(!view()->insertItemAt("one more"));
    QVERIFY(createDefaultFile(mDir->filePath("ZEPHRA/New configuration 9.json"), CreatedFileKind::NewProfile));
    QVERIFY(QFile::exists(mDir->filePath("ZEPHRA/New configuration 9.json")));
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(view()->items().constLast().text, QString("filler"));
}

void TestCreatedFiles::entryIcons()
{
    const QString file = mDir->filePath("Shooter.json");
    QFile(file).open(QIODevice::WriteOnly);

    const QPixmap icon = fileIconPixmap(file, mDir->filePath("icon.png"), QSize(16, 16));
    QVERIFY(!icon.isNull());
    QVERIFY(icon.width() <= 16 && icon.height() <= 16);
    QVERIFY(!QImage(mDir->filePath("icon.png")).isNull());

    QVERIFY(!shellIconPixmap(mDir->path(), mDir->filePath("folder.png")).isNull());
    QVERIFY(QFileInfo(mDir->filePath("folder.png")).size() > 0);
    // Without a place to save, nothing is written beside the entry.
    QVERIFY(!fileIconPixmap(file, QString(), QSize(32, 32)).isNull());
    QCOMPARE(QDir(mDir->path()).entryList(QDir::Files).size(), 3);

    QCOMPARE(appDirPath(), QCoreApplication::applicationDirPath());
}

void TestCreatedFiles::newMacroIsListed()
{
    const int profiles = view()->getItemValue();
    QSignalSpy inserted(macros(), &HMacroName::preItemInserted);

    QVERIFY(createDefaultFile(mMacroRoot + "/New macro 3.json", CreatedFileKind::MacroFile));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(0).toInt(), 2);
    QCOMPARE(macros()->items().constLast(), (HMacroNameItem{"New macro 3", false, false, true}));
    QCOMPARE(view()->getItemValue(), profiles);

    // A macro that is already there is not listed twice.
    QVERIFY(createDefaultFile(mMacroRoot + "/New macro 3.json", CreatedFileKind::MacroFile));
    QCOMPARE(inserted.size(), 1);
}

void TestCreatedFiles::fullMacroTreeKeepsTheFile()
{
    while (macros()->getItemValue() < HMacroName::kMaxItems)
        QVERIFY(macros()->insertItemAt("filler.json"));
    QSignalSpy inserted(macros(), &HMacroName::preItemInserted);

    QVERIFY(createDefaultFile(mMacroRoot + "/New macro 9.json", CreatedFileKind::MacroFile));
    QVERIFY(QFile::exists(mMacroRoot + "/New macro 9.json"));
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(macros()->items().constLast().text, QString("filler"));
}

void TestCreatedFiles::newFoldersAreListed_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("created");
    QTest::addColumn<int>("rowsInserted");
    QTest::addColumn<QStringList>("shown");

    const QStringList unchanged{"New folder 3", "file"};
    QTest::newRow("new folder: the library is listed again")
        << "New folder 2" << true << 1 << QStringList{"New folder 2", "New folder 3", "file"};
    // Each new level is registered; the tree ends up showing the deepest level's parent.
    QTest::newRow("two new levels") << "New folder/New folder 2" << true << 2 << QStringList{"New folder 2"};
    QTest::newRow("other name") << "Shooter" << true << 0 << unchanged;
    QTest::newRow("already there") << "New folder 3" << true << 0 << unchanged;
    QTest::newRow("below a file") << "file.json/New folder" << false << 0 << unchanged;
}

void TestCreatedFiles::newFoldersAreListed()
{
    QFETCH(QString, relative);
    QFETCH(bool, created);
    QFETCH(int, rowsInserted);
    QFETCH(QStringList, shown);

    QSignalSpy inserted(macros(), &HMacroName::preItemInserted);
    QCOMPARE(makeFolder(mMacroRoot + "/" + relative), created);
    QCOMPARE(QFileInfo(mMacroRoot + "/" + relative).isDir(), created);
    QCOMPARE(inserted.size(), rowsInserted);
    QCOMPARE(macroTexts(), shown);
}

QTEST_MAIN(TestCreatedFiles)
#include "tst_createdfiles.moc"
