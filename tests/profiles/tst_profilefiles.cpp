#include "RecordingServices.h"

#include "common/ProgramFolders.h"
#include "models/keys/HMacroName.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

const QString kProfileLimitTip =
    "1:Your current number of configurations has reached the limit and can't continue to add";
const QString kMacroLimitTip =
    "1:Your current number of files has reached the limit and can't continue to add macro files";

void touch(const QString& path, const QByteArray& content = "{\"mine\": true}")
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QJsonObject readObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList numbered(const QString& base, int count, const QString& suffix)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << QStringLiteral("%1 %2%3").arg(base).arg(i).arg(suffix);
    return out;
}

} // namespace

// File operations of the profile controller on the test profile root and macro folder, with the profile
// list and the macro tree the user interface would show.
class TestProfileFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void createProfile_data();
    void createProfile();
    void createMacro_data();
    void createMacro();
    void starterMacros();
    void folders();
    void deleteProfile();
    void deleteMacros();
    void rename_data();
    void rename();

private:
    QString mFolder;
    QString mMacros;
    std::unique_ptr<RecordingServices> mServices;
    std::unique_ptr<KConfigFileController> mController;
    std::unique_ptr<HConfigView> mView;
    std::unique_ptr<HMacroName> mNames;
};

void TestProfileFiles::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(ProgramFolders::configLocation().contains(QLatin1String(".qttest")));
}

void TestProfileFiles::init()
{
    QDir(ProgramFolders::configLocation()).removeRecursively();
    mFolder = ProgramFolders::profileRoot() + "/ZEPHRA";
    mMacros = ProgramFolders::macroRoot();
    QVERIFY(QDir().mkpath(mFolder));
    QVERIFY(QDir().mkpath(mMacros));
    mServices = std::make_unique<RecordingServices>();
    mController = std::make_unique<KConfigFileController>();
    mView = std::make_unique<HConfigView>();
    mNames = std::make_unique<HMacroName>();
    mServices->setConfigFileController(mController.get());
    mServices->setConfigView(mView.get());
    mServices->setMacroName(mNames.get());
    mView->initFromFile(mFolder);
}

void TestProfileFiles::cleanup()
{
    mNames.reset();
    mView.reset();
    mController.reset();
    mServices.reset();
}

void TestProfileFiles::createProfile_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("created");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("tips");

    const QStringList none;
    QTest::newRow("empty name") << none << ""
                                << "New configuration.json" << true << none;
    QTest::newRow("numbered past the taken names") << QStringList {"X.json", "X 2.json"} << "X"
                                                   << "X 3.json" << true << none;
    QTest::newRow("the free name first") << QStringList {"X 2.json"} << "X"
                                         << "X.json" << true << none;
    QTest::newRow("default profile kept") << QStringList {"Default configuration.json"} << "Default configuration"
                                          << "" << true << none;
    QTest::newRow("default profile kept in a full folder")
        << numbered("P", 29, ".json") + QStringList {"Default configuration.json"} << "Default configuration"
        << "" << true << none;
    QTest::newRow("29 profiles") << numbered("P", 29, ".json") << ""
                                 << "New configuration.json" << true << none;
    QTest::newRow("30 profiles") << numbered("P", 30, ".json") << "X"
                                 << "" << false << QStringList {kProfileLimitTip};
    QTest::newRow("30 profiles, empty name") << numbered("P", 30, ".json") << ""
                                             << "" << false << QStringList {kProfileLimitTip};
    QTest::newRow("pictures do not count") << numbered("P", 29, ".json") + numbered("P", 29, ".png") << "X"
                                           << "X.json" << true << none;
    QTest::newRow("separator") << none << "a/b"
                               << "" << false << none;
    QTest::newRow("dot dot") << none << ".."
                             << "" << false << none;
    QTest::newRow("too long") << none << QString(251, QLatin1Char('x')) << "" << false << none;
}

void TestProfileFiles::createProfile()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, created);
    QFETCH(bool, result);
    QFETCH(QStringList, tips);
    for (const QString& file : existing)
        touch(mFolder + "/" + file);
    const QStringList before = QDir(mFolder).entryList(QDir::Files);
    const int rows = mView->getItemValue();

    QCOMPARE(mController->createConfig(mFolder, name), result);
    QCOMPARE(mServices->tips, tips);
    QStringList after = QDir(mFolder).entryList(QDir::Files);
    if (created.isEmpty()) {
        QCOMPARE(after, before);
        QCOMPARE(mView->getItemValue(), rows);
        for (const QString& file : existing)
            QCOMPARE(readObject(mFolder + "/" + file).value("mine").toBool(), true);
        return;
    }
    after.removeOne(created);
    QCOMPARE(after, before);
    // Never an empty document: until the factory profile fills it, the profile holds its version.
    QCOMPARE(readObject(mFolder + "/" + created).value("configVersion").toInt(), 2);
    QCOMPARE(mView->getItemValue(), rows + 1);
    QCOMPARE(mView->items().constLast().text, QFileInfo(created).completeBaseName());
}

void TestProfileFiles::createMacro_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("created");
    QTest::addColumn<QStringList>("tips");

    const QStringList none;
    QTest::newRow("empty name") << "" << none << ""
                                << "New macro.json" << none;
    QTest::newRow("own name, numbered") << "" << QStringList {"Burst.json"} << "Burst"
                                        << "Burst 2.json" << none;
    QTest::newRow("29 entries") << "" << numbered("M", 29, ".json") << ""
                                << "New macro.json" << none;
    QTest::newRow("30 entries") << "" << numbered("M", 30, ".json") << ""
                                << "" << QStringList {kMacroLimitTip};
    QTest::newRow("folders count") << "" << numbered("M", 20, ".json") + numbered("D", 10, "/x.json") << ""
                                   << "" << QStringList {kMacroLimitTip};
    QTest::newRow("a sub-folder is limited too") << "/sub" << numbered("M", 30, ".txt") << ""
                                                 << "" << QStringList {kMacroLimitTip};
    QTest::newRow("a sub-folder") << "/sub" << none << ""
                                  << "New macro.json" << none;
}

void TestProfileFiles::createMacro()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, created);
    QFETCH(QStringList, tips);
    const QString base = mMacros + folder;
    for (const QString& file : existing)
        touch(base + "/" + file);
    // The macro list shows the folder the macro is made in.
    QVERIFY(QDir().mkpath(base));
    mNames->initFromFile(base);

    QCOMPARE(mController->createMacro(base, name), !created.isEmpty());
    QCOMPARE(mServices->tips, tips);
    if (created.isEmpty()) {
        QVERIFY(!QFile::exists(base + "/New macro.json"));
        return;
    }
    const QJsonObject macro = readObject(base + "/" + created);
    QCOMPARE(macro.value("macroName").toString(), QFileInfo(created).completeBaseName());
    QCOMPARE(mNames->items().constLast().text, QFileInfo(created).completeBaseName());
    // No macro file is ever made beside the profiles or outside the library.
    QVERIFY(!mController->createMacro(mFolder, name));
    QVERIFY(!mController->createMacro(mMacros + "/..", name));
}

void TestProfileFiles::starterMacros()
{
    // First start: three macros in an empty library, each a document the macro editor reads.
    for (int i = 0; i < 3; ++i) {
        KConfigFileController once;
        QVERIFY(once.createMacro(mMacros));
    }
    QCOMPARE(QDir(mMacros).entryList(QDir::Files),
             (QStringList {"New macro 2.json", "New macro 3.json", "New macro.json"}));
    for (const QString& name : QStringList {"New macro", "New macro 2", "New macro 3"}) {
        const QJsonObject macro = readObject(mMacros + "/" + name + ".json");
        QCOMPARE(macro.value("macroName").toString(), name);
        QCOMPARE(macro.value("playType").toString(), QString("1"));
        QCOMPARE(macro.value("ignoreTime").toBool(true), false);
        QCOMPARE(macro.value("times").toInt(), 1);
        QVERIFY(macro.value("list").isArray());
    }
}

void TestProfileFiles::folders()
{
    QVERIFY(mController->createFolder(mMacros));
    QVERIFY(mController->createFolder(mMacros + "/"));
    QVERIFY(mController->createFolder(mMacros + "/New folder", "Fast"));
    QVERIFY(QFileInfo(mMacros + "/New folder").isDir());
    QVERIFY(QFileInfo(mMacros + "/New folder 2").isDir());
    QVERIFY(QFileInfo(mMacros + "/New folder/Fast").isDir());

    QVERIFY(!mController->createFolder(mMacros, "../escape"));
    QVERIFY(!mController->createFolder(mMacros, ".."));
    QVERIFY(!mController->createFolder(mFolder, "Fast"));
    QVERIFY(!QFileInfo(mFolder + "/Fast").exists());

    // The library itself is never removed; its folders are.
    QVERIFY(!mController->deleteMacroFolder(mMacros));
    QVERIFY(!mController->deleteMacroFolder(mMacros + "/"));
    QVERIFY(!mController->deleteMacroFolder(mFolder));
    QVERIFY(QFileInfo(mFolder).isDir());
    QVERIFY(mController->deleteMacroFolder(mMacros + "/New folder"));
    QVERIFY(!QFileInfo(mMacros + "/New folder").exists());
    QVERIFY(QFileInfo(mMacros).isDir());
}

void TestProfileFiles::deleteProfile()
{
    touch(mFolder + "/A.json");
    touch(mFolder + "/A.png");
    touch(mFolder + "/B.json");
    touch(mFolder + "/B.png");
    mServices->configPath = "B.json";

    QVERIFY(mController->deleteConfigFile(mFolder + "/A.json"));
    QVERIFY(!QFile::exists(mFolder + "/A.json"));
    QVERIFY(!QFile::exists(mFolder + "/A.png"));
    QCOMPARE(mServices->configPath, QString("B.json"));
    QVERIFY(!mController->deleteConfigFile(mFolder + "/A.json"));

    // A picture alone may go; nothing but profiles and pictures below the profile root.
    touch(mFolder + "/C.png");
    QVERIFY(mController->deleteConfigFile(mFolder + "/C.png"));
    touch(mFolder + "/notes.txt");
    QVERIFY(!mController->deleteConfigFile(mFolder + "/notes.txt"));
    touch(mMacros + "/M.json");
    QVERIFY(!mController->deleteConfigFile(mMacros + "/M.json"));
    QVERIFY(!mController->deleteConfigFile(mFolder + "/../../macro/M.json"));
    QVERIFY(QFile::exists(mFolder + "/B.png"));
    QVERIFY(QFile::exists(mMacros + "/M.json"));
    QVERIFY(mController->isConfigFile(mMacros + "/M.json"));
    QVERIFY(!mController->isConfigFile(mFolder + "/A.json"));
}

void TestProfileFiles::deleteMacros()
{
    touch(mMacros + "/sub/M.json");
    touch(mFolder + "/P.json");
    QVERIFY(!mController->deleteMacroFile(mFolder + "/P.json"));
    QVERIFY(!mController->deleteMacroFile(mMacros + "/sub/../../config/ZEPHRA/P.json"));
    QVERIFY(QFile::exists(mFolder + "/P.json"));
    QVERIFY(mController->deleteMacroFile(mMacros + "/sub/M.json"));
    QVERIFY(!mController->deleteMacroFile(mMacros + "/sub/M.json"));
}

void TestProfileFiles::rename_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("result");

    QTest::newRow("profile") << "config/ZEPHRA/A.json"
                             << "Shooter.json" << true;
    QTest::newRow("macro folder") << "macro/sub"
                                  << "Fast" << true;
    QTest::newRow("taken name") << "config/ZEPHRA/A.json"
                                << "B.json" << false;
    QTest::newRow("empty") << "config/ZEPHRA/A.json"
                           << "" << false;
    QTest::newRow("separator") << "config/ZEPHRA/A.json"
                               << "x/Shooter.json" << false;
    QTest::newRow("dot dot") << "config/ZEPHRA/A.json"
                             << ".." << false;
    QTest::newRow("too long") << "config/ZEPHRA/A.json" << QString(251, QLatin1Char('x')) + ".json" << false;
    QTest::newRow("nothing there") << "config/ZEPHRA/missing.json"
                                   << "Shooter.json" << false;
    QTest::newRow("outside the roots") << "outside.json"
                                       << "Shooter.json" << false;
    QTest::newRow("the profile root itself") << "config"
                                             << "Shooter" << false;
}

void TestProfileFiles::rename()
{
    QFETCH(QString, from);
    QFETCH(QString, newName);
    QFETCH(bool, result);
    const QString base = ProgramFolders::configLocation() + "/";
    touch(mFolder + "/A.json");
    touch(mFolder + "/B.json");
    touch(mMacros + "/sub/M.json");
    touch(base + "outside.json");
    const QStringList before = QDir(mFolder).entryList(QDir::Files);

    QCOMPARE(mController->renameFile(base + from, newName), result);
    const QString folder = QFileInfo(base + from).absolutePath();
    QCOMPARE(QFileInfo::exists(base + from), !result && !from.contains("missing"));
    if (result)
        QVERIFY(QFileInfo::exists(folder + "/" + newName));
    else
        QCOMPARE(QDir(mFolder).entryList(QDir::Files), before);
}

QTEST_MAIN(TestProfileFiles)
#include "tst_profilefiles.moc"
