#include "FileSizeLimit.h"
#include "PipeRelease.h"

#include "profiles/FileHelpers.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <sys/stat.h>

namespace {

void writeText(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void setModified(const QString& path, int secondsAgo)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFileDevice::FileModificationTime));
}

} // namespace

class TestFileHelpers : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void existence_data();
    void existence();
    void makeFolderCreatesEveryLevel();
    void makeFolderReportsWhatExists();
    void copyFile_data();
    void copyFile();
    void failedOverwriteKeepsTheOldFile();
    void copyDirReproducesFilesOnly();
    void removeDirKeepsParents();
    void removeDirNeverLeavesTheTree();
    void removeDirKeepsHiddenFiles();
    void rename_data();
    void rename();
    void renameWithoutFolderStaysInPlace();
    void copyDirIntoItselfIsRefused();
    void walkStopsWhenTheCallbackSaysSo();
    void walkVisitsOldestFirstThenSubFolders();
    void sizes();
    void createDefaultFileKeepsAnExistingFile();
    void createDefaultFileWritesAStarterDocument();
    void writeAndReadBytes();
    void insideFolder_data();
    void insideFolder();

private:
    QScopedPointer<QTemporaryDir> mDir;
    QString mRoot;
};

void TestFileHelpers::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
    mRoot = mDir->path();
}

void TestFileHelpers::existence_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("isFile");
    QTest::addColumn<bool>("isDir");

    QTest::newRow("empty path") << QString("<empty>") << false << false;
    QTest::newRow("file") << QString("a.json") << true << false;
    QTest::newRow("folder") << QString("sub") << true << true;
    QTest::newRow("missing") << QString("none.json") << false << false;
}

void TestFileHelpers::existence()
{
    QFETCH(QString, relative);
    QFETCH(bool, isFile);
    QFETCH(bool, isDir);
    writeText(mRoot + "/a.json", "{}");
    QDir(mRoot).mkdir("sub");

    const QString path = relative == "<empty>" ? QString() : mRoot + "/" + relative;
    QCOMPARE(fileExists(path), isFile);
    QCOMPARE(dirExists(path), isDir);
}

void TestFileHelpers::makeFolderCreatesEveryLevel()
{
    QDir(mRoot).mkdir("a");
    QVERIFY(makeFolder(mRoot + "/a/b/c"));
    QVERIFY(QFileInfo(mRoot + "/a/b/c").isDir());
    QVERIFY(makeFolder(mRoot + "/a/b/c"));
}

void TestFileHelpers::makeFolderReportsWhatExists()
{
    QVERIFY(!makeFolder("relative-without-separator"));
    QVERIFY(!QFileInfo::exists("relative-without-separator"));

    // A file holds the name: the folder cannot come into being, and the caller must hear so.
    writeText(mRoot + "/taken", "x");
    QVERIFY(!makeFolder(mRoot + "/taken"));
    QVERIFY(!makeFolder(mRoot + "/taken/below"));
    QCOMPARE(readText(mRoot + "/taken"), QByteArray("x"));
}

void TestFileHelpers::copyFile_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("targetAfter");

    QTest::newRow("new target, folders created") << "src.json" << "x/y/dst.json" << false << true << QByteArray("new");
    QTest::newRow("existing target kept") << "src.json" << "old.json" << false << false << QByteArray("old");
    QTest::newRow("existing target replaced") << "src.json" << "old.json" << true << true << QByteArray("new");
    QTest::newRow("source ends with slash") << "src.json/" << "dst.json" << true << false << QByteArray("<missing>");
    QTest::newRow("target ends with slash") << "src.json" << "dst.json/" << true << false << QByteArray("<missing>");
    QTest::newRow("missing source") << "none.json" << "old.json" << true << false << QByteArray("old");
    QTest::newRow("folder as source") << "folder" << "old.json" << true << false << QByteArray("old");
}

void TestFileHelpers::copyFile()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(bool, overwrite);
    QFETCH(bool, result);
    QFETCH(QByteArray, targetAfter);
    writeText(mRoot + "/src.json", "new");
    writeText(mRoot + "/old.json", "old");
    QDir(mRoot).mkdir("folder");

    QCOMPARE(::copyFile(QFileInfo(mRoot + "/" + source), QFileInfo(mRoot + "/" + target), overwrite), result);
    QString targetPath = mRoot + "/" + target;
    if (targetPath.endsWith('/'))
        targetPath.chop(1);
    QCOMPARE(readText(targetPath), targetAfter);
    QCOMPARE(readText(mRoot + "/src.json"), QByteArray("new"));
}

void TestFileHelpers::failedOverwriteKeepsTheOldFile()
{
    writeText(mRoot + "/profile.json", "precious");

    // Copying a file onto itself used to remove the only copy before reading it.
    QFileInfo self(mRoot + "/profile.json");
    ::copyFile(self, self, true);
    QCOMPARE(readText(mRoot + "/profile.json"), QByteArray("precious"));

    // A source that opens but cannot be read.
    if (QFile::exists("/proc/self/mem")) {
        QVERIFY(!::copyFile(QFileInfo("/proc/self/mem"), self, true));
        QCOMPARE(readText(mRoot + "/profile.json"), QByteArray("precious"));
    }
    // A disk that fills up during the copy.
    writeText(mRoot + "/big.json", QByteArray(4096, 'x'));
    {
        FileSizeLimit limit(64);
        QVERIFY(limit.isActive());
        QVERIFY(!::copyFile(QFileInfo(mRoot + "/big.json"), self, true));
        QVERIFY(!::copyFile(QFileInfo(mRoot + "/big.json"), QFileInfo(mRoot + "/fresh.json"), false));
        QVERIFY(!writeBytesToFile(self, QByteArray(4096, 'y'), true));
    }
    QCOMPARE(readText(mRoot + "/profile.json"), QByteArray("precious"));
    QCOMPARE(QDir(mRoot).entryList(QDir::Files | QDir::Hidden), (QStringList{"big.json", "profile.json"}));
}

void TestFileHelpers::copyDirReproducesFilesOnly()
{
    writeText(mRoot + "/src/a.json", "a");
    writeText(mRoot + "/src/sub/b.json", "b");
    QDir().mkpath(mRoot + "/src/empty");

    QVERIFY(copyDir(QDir(mRoot + "/src"), QDir(mRoot + "/dst"), false));
    QCOMPARE(readText(mRoot + "/dst/a.json"), QByteArray("a"));
    QCOMPARE(readText(mRoot + "/dst/sub/b.json"), QByteArray("b"));
    QVERIFY(!QFileInfo::exists(mRoot + "/dst/empty"));

    // Without overwrite the first file already present stops the copy.
    writeText(mRoot + "/src/a.json", "changed");
    QVERIFY(!copyDir(QDir(mRoot + "/src"), QDir(mRoot + "/dst"), false));
    QCOMPARE(readText(mRoot + "/dst/a.json"), QByteArray("a"));
    QVERIFY(copyDir(QDir(mRoot + "/src"), QDir(mRoot + "/dst"), true));
    QCOMPARE(readText(mRoot + "/dst/a.json"), QByteArray("changed"));
}

void TestFileHelpers::removeDirKeepsParents()
{
    // The profile root holds only the device folder; removing it must not take the root along.
    writeText(mRoot + "/config/ZEPHRA/sub/a.json", "a");
    writeText(mRoot + "/config/ZEPHRA/b.json", "b");

    QVERIFY(removeDir(mRoot + "/config/ZEPHRA"));
    QVERIFY(!QFileInfo::exists(mRoot + "/config/ZEPHRA"));
    QVERIFY(QFileInfo(mRoot + "/config").isDir());

    QVERIFY(removeDir(mRoot + "/config/missing"));
    QDir(mRoot).mkpath("config/empty");
    QVERIFY(removeDir(mRoot + "/config/empty"));
    QVERIFY(QFileInfo(mRoot + "/config").isDir());
}

void TestFileHelpers::removeDirNeverLeavesTheTree()
{
    writeText(mRoot + "/outside/keep.json", "keep");
    writeText(mRoot + "/macro/m.json", "m");
    QVERIFY(QFile::link(mRoot + "/outside", mRoot + "/macro/link"));
    QVERIFY(QFile::link(mRoot + "/outside/keep.json", mRoot + "/macro/filelink.json"));

    QVERIFY(removeDir(mRoot + "/macro"));
    QVERIFY(!QFileInfo::exists(mRoot + "/macro"));
    QCOMPARE(readText(mRoot + "/outside/keep.json"), QByteArray("keep"));
}

void TestFileHelpers::removeDirKeepsHiddenFiles()
{
    writeText(mRoot + "/folder/.hidden", "h");
    writeText(mRoot + "/folder/shown.json", "s");
    QVERIFY(!removeDir(mRoot + "/folder"));
    QCOMPARE(readText(mRoot + "/folder/.hidden"), QByteArray("h"));
    QVERIFY(!QFileInfo::exists(mRoot + "/folder/shown.json"));
}

void TestFileHelpers::rename_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("expectedPath");

    QTest::newRow("file") << "dev/a.json" << "b.json" << true << "dev/b.json";
    QTest::newRow("folder") << "dev/folder" << "renamed" << true << "dev/renamed";
    QTest::newRow("folder with trailing separator") << "dev/folder/" << "renamed" << true << "dev/renamed";
    QTest::newRow("nothing there") << "dev/none.json" << "b.json" << false << QString();
    QTest::newRow("onto existing name") << "dev/a.json" << "other.json" << false << "dev/a.json";
    QTest::newRow("parent traversal") << "dev/a.json" << "../a.json" << false << "dev/a.json";
    QTest::newRow("separator") << "dev/a.json" << "folder/a.json" << false << "dev/a.json";
    QTest::newRow("backslash") << "dev/a.json" << "..\\a.json" << false << "dev/a.json";
    QTest::newRow("dot dot") << "dev/folder" << ".." << false << "dev/folder";
    QTest::newRow("dot") << "dev/folder" << "." << false << "dev/folder";
    QTest::newRow("empty") << "dev/a.json" << "" << false << "dev/a.json";
    QTest::newRow("control character") << "dev/a.json" << "a\n.json" << false << "dev/a.json";
}

void TestFileHelpers::rename()
{
    QFETCH(QString, from);
    QFETCH(QString, newName);
    QFETCH(bool, result);
    QFETCH(QString, expectedPath);
    writeText(mRoot + "/dev/a.json", "a");
    writeText(mRoot + "/dev/other.json", "other");
    writeText(mRoot + "/dev/folder/inner.json", "inner");

    QCOMPARE(renameFileOrDir(mRoot + "/" + from, newName), result);
    if (!expectedPath.isEmpty())
        QVERIFY(QFileInfo::exists(mRoot + "/" + expectedPath));
    QCOMPARE(readText(mRoot + "/dev/other.json"), QByteArray("other"));
    QCOMPARE(QDir(mRoot).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"dev"});
}

void TestFileHelpers::renameWithoutFolderStaysInPlace()
{
    // A path that names no folder is in the working folder; its new name must land there too.
    const QString name = QStringLiteral("corvane-rename-%1.json").arg(QCoreApplication::applicationPid());
    const QString previous = QDir::currentPath();
    writeText(mRoot + "/dev/a.json", "a");
    QVERIFY(QDir::setCurrent(mRoot + "/dev"));
    const bool renamed = renameFileOrDir("a.json", name);
    QDir::setCurrent(previous);
    QFile::remove("/" + name);

    QVERIFY(renamed);
    QCOMPARE(readText(mRoot + "/dev/" + name), QByteArray("a"));
}

void TestFileHelpers::copyDirIntoItselfIsRefused()
{
    writeText(mRoot + "/src/a.json", "a");
    writeText(mRoot + "/src/sub/b.json", "b");

    QVERIFY(!copyDir(QDir(mRoot + "/src"), QDir(mRoot + "/src/backup"), false));
    QVERIFY(!copyDir(QDir(mRoot + "/src"), QDir(mRoot + "/src/sub/"), true));
    QVERIFY(!copyDir(QDir(mRoot + "/src"), QDir(mRoot + "/src"), true));
    QVERIFY(!QFileInfo::exists(mRoot + "/src/backup"));
    QCOMPARE(readText(mRoot + "/src/sub/b.json"), QByteArray("b"));
    QVERIFY(!QFileInfo::exists(mRoot + "/src/sub/a.json"));

    // A folder beside the source whose name merely starts with the same letters is a fine target.
    QVERIFY(copyDir(QDir(mRoot + "/src"), QDir(mRoot + "/src2"), false));
    QCOMPARE(readText(mRoot + "/src2/sub/b.json"), QByteArray("b"));
}

void TestFileHelpers::walkStopsWhenTheCallbackSaysSo()
{
    for (int i = 0; i < 4; ++i)
        writeText(QString("%1/f%2.json").arg(mRoot).arg(i), "x");
    writeText(mRoot + "/sub/g.json", "x");

    int calls = 0;
    QVERIFY(!walkEntries(
        QDir(mRoot), [&calls](const QFileInfo&, bool& proceed) { proceed = ++calls < 2; }, true));
    QCOMPARE(calls, 2);

    // A stop inside a sub-folder ends the whole walk.
    calls = 0;
    QVERIFY(!walkEntries(
        QDir(mRoot),
        [&calls](const QFileInfo& file, bool& proceed) {
            ++calls;
            proceed = file.fileName() != "g.json";
        },
        true));
    QCOMPARE(calls, 5);

    QDir(mRoot).mkpath("sub/deeper");
    QDir(mRoot).mkpath("other");
    int dirs = 0;
    QVERIFY(!walkSubDirs(
        QDir(mRoot), [&dirs](const QDir&, bool& proceed) { proceed = ++dirs < 1; }, true));
    QCOMPARE(dirs, 1);
    dirs = 0;
    QVERIFY(walkSubDirs(
        QDir(mRoot), [&dirs](const QDir&, bool&) { ++dirs; }, true));
    QCOMPARE(dirs, 3);
}

void TestFileHelpers::walkVisitsOldestFirstThenSubFolders()
{
    writeText(mRoot + "/new.json", "x");
    writeText(mRoot + "/old.json", "x");
    writeText(mRoot + "/mid.json", "x");
    writeText(mRoot + "/sub/deep.json", "x");
    setModified(mRoot + "/new.json", 10);
    setModified(mRoot + "/mid.json", 100);
    setModified(mRoot + "/old.json", 1000);

    QStringList seen;
    QVERIFY(walkEntries(
        QDir(mRoot), [&seen](const QFileInfo& file, bool&) { seen << file.fileName(); }, true));
    QCOMPARE(seen, (QStringList{"old.json", "mid.json", "new.json", "deep.json"}));

    seen.clear();
    QVERIFY(walkEntries(
        QDir(mRoot), [&seen](const QFileInfo& file, bool&) { seen << file.fileName(); }, false));
    QCOMPARE(seen.size(), 3);
}

void TestFileHelpers::sizes()
{
    QCOMPARE(dirSize(QDir(mRoot), true), qint64(0));
    writeText(mRoot + "/a.json", "12345");
    writeText(mRoot + "/sub/b.json", "123");
    QCOMPARE(dirSize(QDir(mRoot), false), qint64(5));
    QCOMPARE(dirSize(QDir(mRoot), true), qint64(8));
    QCOMPARE(fileSize(QFileInfo(mRoot + "/a.json")), qint64(5));
    QCOMPARE(fileSize(QFileInfo(mRoot + "/sub")), qint64(-1));
    QCOMPARE(fileSize(QFileInfo(mRoot + "/missing")), qint64(-1));
}

void TestFileHelpers::createDefaultFileKeepsAnExistingFile()
{
    writeText(mRoot + "/dev/Mine.json", "{\"key\":[]}");
    QVERIFY(createDefaultFile(mRoot + "/dev/Mine.json", CreatedFileKind::NewProfile));
    QCOMPARE(readText(mRoot + "/dev/Mine.json"), QByteArray("{\"key\":[]}"));
}

void TestFileHelpers::createDefaultFileWritesAStarterDocument()
{
    QVERIFY(createDefaultFile(mRoot + "/macro/folder/New macro 3.json", CreatedFileKind::MacroFile));
    const QJsonObject macro = QJsonDocument::fromJson(readText(mRoot + "/macro/folder/New macro 3.json")).object();
    QCOMPARE(macro.value("macroName").toString(), QString("New macro 3"));
    QCOMPARE(macro.value("playType").toString(), QString("1"));
    QVERIFY(macro.value("list").isArray());

    QVERIFY(createDefaultFile(mRoot + "/dev/New configuration.json", CreatedFileKind::NewProfile));
    const QJsonObject profile = QJsonDocument::fromJson(readText(mRoot + "/dev/New configuration.json")).object();
    QCOMPARE(profile.value("configVersion").toInt(), 2);

    writeText(mRoot + "/blocked", "file in the way");
    QVERIFY(!createDefaultFile(mRoot + "/blocked/New macro.json", CreatedFileKind::MacroFile));
}

void TestFileHelpers::writeAndReadBytes()
{
    const QFileInfo file(mRoot + "/deep/folder/data.bin");
    QVERIFY(writeBytesToFile(file, "first", false));
    QVERIFY(writeBytesToFile(file, "second", false));
    QCOMPARE(readWholeFile(file), std::make_pair(true, QByteArray("first")));
    QVERIFY(writeBytesToFile(file, "second", true));
    QCOMPARE(readWholeFile(file), std::make_pair(true, QByteArray("second")));
    QCOMPARE(readWholeFile(QFileInfo(mRoot + "/none")), std::make_pair(false, QByteArray()));
    // Only regular files: a folder, or a pipe whose open would wait for a writer, read as failures.
    QCOMPARE(readWholeFile(QFileInfo(mRoot + "/deep")), std::make_pair(false, QByteArray()));
    const QString pipe = mRoot + "/pipe";
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    {
        const PipeRelease release(pipe);
        QCOMPARE(readWholeFile(QFileInfo(pipe)), std::make_pair(false, QByteArray()));
    }
    QVERIFY(QFile::remove(pipe));

    QVERIFY(copyFileOrDir(QFileInfo(mRoot + "/deep"), QFileInfo(mRoot + "/copy"), false));
    QCOMPARE(readText(mRoot + "/copy/folder/data.bin"), QByteArray("second"));
    QVERIFY(!copyFileOrDir(QFileInfo(mRoot + "/none"), QFileInfo(mRoot + "/copy2"), false));
}

void TestFileHelpers::insideFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("inside");

    QTest::newRow("child") << "root/a.json" << true;
    QTest::newRow("grandchild") << "root/x/a.json" << true;
    QTest::newRow("root itself") << "root" << false;
    QTest::newRow("climbs out") << "root/../a.json" << false;
    QTest::newRow("climbs out and back") << "root/x/../../root/a.json" << true;
    QTest::newRow("sibling with shared prefix") << "rootless/a.json" << false;
}

void TestFileHelpers::insideFolder()
{
    QFETCH(QString, path);
    QFETCH(bool, inside);
    QCOMPARE(isInsideFolder(mRoot + "/" + path, mRoot + "/root"), inside);
    QVERIFY(!isBareName("a/b"));
    QVERIFY(isBareName("New configuration 2.json"));
}

QTEST_GUILESS_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
