// Profile and macro files in a hostile file system: links that lead out of a folder or back into the source of
// a copy, writes that fail half way, files that vanished, and what a read of a small file allocates.

#include "FileSizeLimit.h"

#include "app/Trans.h"
#include "devices/LayoutDocument.h"
#include "models/keys/HMacroType.h"
#include "profiles/FChangeConfig.h"
#include "profiles/FileHelpers.h"
#include "profiles/JsonFileReader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <functional>

namespace {

void writeText(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(text), qint64(text.size()));
}

QByteArray readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every path below folder, links included, as text: shows what a call added or left behind.
QStringList treeOf(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

} // namespace

// Every allocation of this program passes through here on its way to the C library's allocator, so a test can
// see the largest single block asked for while it looks. Deterministic, unlike a memory limit: a limit also
// counts what the allocator reserved earlier and may satisfy a request from that reserve. Sanitizer builds
// bring their own allocator, which these functions would bypass: there the probe is left out. GCC says so with
// __SANITIZE_ADDRESS__ and __SANITIZE_THREAD__, clang (before 17) only through __has_feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORVANE_ALLOCATION_PROBE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define CORVANE_ALLOCATION_PROBE 0
#endif
#endif
#ifndef CORVANE_ALLOCATION_PROBE
#define CORVANE_ALLOCATION_PROBE 1
#endif

#if CORVANE_ALLOCATION_PROBE
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}
#endif

namespace {

std::atomic<bool> gWatching{false};
std::atomic<size_t> gLargest{0};

void noteAllocation(size_t size)
{
    if (!gWatching.load(std::memory_order_relaxed))
        return;
    size_t largest = gLargest.load(std::memory_order_relaxed);
    while (size > largest && !gLargest.compare_exchange_weak(largest, size, std::memory_order_relaxed)) {
    }
}

// The largest block allocated while run ran.
size_t largestAllocation(const std::function<void()>& run)
{
    gLargest = 0;
    gWatching = true;
    run();
    gWatching = false;
    return gLargest;
}

} // namespace

#if CORVANE_ALLOCATION_PROBE
extern "C" {
void* malloc(size_t size) noexcept
{
    noteAllocation(size);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) noexcept
{
    noteAllocation(count * size);
    return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) noexcept
{
    noteAllocation(size);
    return __libc_realloc(block, size);
}
void free(void* block) noexcept
{
    __libc_free(block);
}
}
#endif

class TestFileSafety : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void copyNeverNestsIntoItsSource_data();
    void copyNeverNestsIntoItsSource();
    void containmentFollowsLinks_data();
    void containmentFollowsLinks();
    void failedOverlayWriteIsReported();
    void renamedMacroFileMissing_data();
    void renamedMacroFileMissing();
    void boundedReadsFollowTheFile_data();
    void boundedReadsFollowTheFile();
    void smallFileReadAllocatesLittle_data();
    void smallFileReadAllocatesLittle();

private:
    QScopedPointer<QTemporaryDir> mDir;
    QString mRoot;
};

void TestFileSafety::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
    mRoot = mDir->path();
}

void TestFileSafety::copyNeverNestsIntoItsSource_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("copied");

    // src holds the files; "into" links to src, "aside" to a folder beside it.
    QTest::newRow("target below a link to the source") << "src" << "into/backup" << false;
    QTest::newRow("target is a link to the source") << "src" << "into" << false;
    QTest::newRow("source through a link, target inside") << "into" << "src/backup" << false;
    QTest::newRow("target climbs out of the link and back") << "src" << "aside/../src/copy" << false;
    QTest::newRow("target below a link elsewhere") << "src" << "aside/backup" << true;
}

void TestFileSafety::copyNeverNestsIntoItsSource()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(bool, copied);

    writeText(mRoot + "/src/a.json", "a");
    writeText(mRoot + "/src/sub/b.json", "b");
    QVERIFY(QDir().mkpath(mRoot + "/elsewhere"));
    QVERIFY(QFile::link(mRoot + "/src", mRoot + "/into"));
    QVERIFY(QFile::link(mRoot + "/elsewhere", mRoot + "/aside"));
    const QStringList before = treeOf(mRoot + "/src");

    QCOMPARE(copyDir(QDir(mRoot + "/" + source), QDir(mRoot + "/" + target), false), copied);
    QCOMPARE(treeOf(mRoot + "/src"), before);
    if (copied)
        QCOMPARE(treeOf(mRoot + "/elsewhere/backup"), before);
}

void TestFileSafety::containmentFollowsLinks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("inside");
    QTest::addColumn<bool>("folderOrInside");

    // root/out -> outside, root/in -> root/sub, root/dangling -> outside/new (missing), root/loop -> itself,
    // entry -> root (beside it), root/up -> ".." (relative).
    QTest::newRow("through a link that leads out") << "root/out/x.json" << false << false;
    QTest::newRow("the link that leads out") << "root/out" << false << false;
    QTest::newRow("through a link that stays in") << "root/in/x.json" << true << true;
    QTest::newRow("a dangling link that leads out") << "root/dangling" << false << false;
    QTest::newRow("below a dangling link") << "root/dangling/x.json" << false << false;
    QTest::newRow("through a link loop") << "root/loop/x.json" << false << false;
    QTest::newRow("through a relative link up") << "root/up/x.json" << false << false;
    QTest::newRow("'..' after the link leaves its target") << "root/out/../root/x.json" << true << true;
    QTest::newRow("into the root through a link") << "entry/x.json" << true << true;
    QTest::newRow("the root through a link") << "entry" << false << true;
    QTest::newRow("the root") << "root" << false << true;
    QTest::newRow("a new name below the root") << "root/new/../x.json" << true << true;
    QTest::newRow("a sibling with the same prefix") << "rootless/x.json" << false << false;
}

void TestFileSafety::containmentFollowsLinks()
{
    QFETCH(QString, path);
    QFETCH(bool, inside);
    QFETCH(bool, folderOrInside);

    QVERIFY(QDir().mkpath(mRoot + "/root/sub"));
    QVERIFY(QDir().mkpath(mRoot + "/outside"));
    QVERIFY(QFile::link(mRoot + "/outside", mRoot + "/root/out"));
    QVERIFY(QFile::link(mRoot + "/root/sub", mRoot + "/root/in"));
    QVERIFY(QFile::link(mRoot + "/outside/new", mRoot + "/root/dangling"));
    QVERIFY(QFile::link(mRoot + "/root/loop", mRoot + "/root/loop"));
    QVERIFY(QFile::link(mRoot + "/root", mRoot + "/entry"));
    QCOMPARE(::symlink("..", QFile::encodeName(mRoot + "/root/up").constData()), 0);

    QCOMPARE(isInsideFolder(mRoot + "/" + path, mRoot + "/root"), inside);
    QCOMPARE(isFolderOrInside(mRoot + "/" + path, mRoot + "/root"), folderOrInside);
    // The root may itself be named through a link.
    QCOMPARE(isInsideFolder(mRoot + "/" + path, mRoot + "/entry"), inside);
}

void TestFileSafety::failedOverlayWriteIsReported()
{
    const QJsonObject profile{{"report", QJsonObject{{"index", 3}}}};
    const QString path = mRoot + "/profile.json";
    const QByteArray stored = QJsonDocument(profile).toJson();
    writeText(path, stored);
    const QJsonObject old{{"MouseDataOfGamingModeV3", QJsonObject{{"ReportRate", "Hz125"}}}};

    FChangeConfig change;
    {
        FileSizeLimit full(8); // the disk fills before the new document is written
        QVERIFY(full.isActive());
        QCOMPARE(change.changeConfig(old, path), QJsonObject());
    }
    QCOMPARE(readText(path), stored);
    QCOMPARE(treeOf(mRoot), QStringList{"profile.json"});

    // With room on the disk the same overlay is stored and handed back.
    const QJsonObject result = change.changeConfig(old, path);
    QCOMPARE(result.value("report").toObject().value("index").toInt(), 0);
    QCOMPARE(QJsonDocument::fromJson(readText(path)).object(), result);
}

void TestFileSafety::renamedMacroFileMissing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("warning");

    QTest::newRow("no file") << "macro/gone.json" << "[Error] rename macro: no macro file at %1";
    QTest::newRow("folder is a dangling link") << "dangling/a.json" << "[Error] rename macro: no macro file at %1";
    QTest::newRow("a folder under the name") << "macro/folder.json" << "[Error] rename macro: not a macro document: %1";
    QTest::newRow("not a document") << "macro/text.json" << "[Error] rename macro: not a macro document: %1";
}

void TestFileSafety::renamedMacroFileMissing()
{
    QFETCH(QString, path);
    QFETCH(QString, warning);

    QVERIFY(QDir().mkpath(mRoot + "/macro/folder.json"));
    writeText(mRoot + "/macro/text.json", "not json");
    QVERIFY(QFile::link(mRoot + "/vanished", mRoot + "/dangling"));
    const QStringList before = treeOf(mRoot);

    HMacroType type;
    const QString full = mRoot + "/" + path;
    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning.arg(full)));
    QVERIFY(!type.saveFileName(full, QStringLiteral("Renamed")));
    QCOMPARE(treeOf(mRoot), before);
    QCOMPARE(readText(mRoot + "/macro/text.json"), QByteArray("not json"));

    writeText(mRoot + "/macro/real.json", R"({"macroName": "old", "list": []})");
    QVERIFY(type.saveFileName(mRoot + "/macro/real.json", QStringLiteral("Renamed")));
    QCOMPARE(QJsonDocument::fromJson(readText(mRoot + "/macro/real.json")).object(),
             (QJsonObject{{"macroName", "Renamed"}, {"list", QJsonArray()}}));
}

void TestFileSafety::boundedReadsFollowTheFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("read");

    QTest::newRow("empty") << QByteArray() << qint64(16) << true;
    QTest::newRow("exactly the limit") << QByteArray(16, 'x') << qint64(16) << true;
    QTest::newRow("one byte over") << QByteArray(17, 'x') << qint64(16) << false;
    QTest::newRow("many chunks") << QByteArray(300 * 1024 + 7, 'y') << qint64(1024 * 1024) << true;
    QTest::newRow("many chunks, over") << QByteArray(300 * 1024 + 7, 'y') << qint64(300 * 1024) << false;
}

void TestFileSafety::boundedReadsFollowTheFile()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, limit);
    QFETCH(bool, read);

    const QString path = mRoot + "/data.bin";
    writeText(path, content);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto result = readAtMost(file, limit);
    QCOMPARE(result.first, read);
    QCOMPARE(result.second, read ? content : QByteArray());

    // A file that reports no size yet has content is read to its end all the same.
    QFile status(QStringLiteral("/proc/self/status"));
    QVERIFY(status.open(QIODevice::ReadOnly));
    QCOMPARE(status.size(), qint64(0));
    const auto proc = readAtMost(status, 1024 * 1024);
    QVERIFY(proc.first);
    QVERIFY(proc.second.contains("VmSize:"));
}

void TestFileSafety::smallFileReadAllocatesLittle_data()
{
    QTest::addColumn<QString>("reader");
    QTest::newRow("whole file") << "whole";
    QTest::newRow("profile document") << "profile";
    QTest::newRow("old profile overlay") << "overlay";
    QTest::newRow("macro play settings") << "macro";
    QTest::newRow("layout document") << "layout";
    QTest::newRow("translation table") << "translation";
}

// Each read limit (4 MiB for a layout document or translation table, 16 MiB for a profile or macro, 256 MiB
// for a whole file) allocated up front for a file of a few bytes ends in std::bad_alloc under a memory limit;
// what a read allocates must follow the file.
void TestFileSafety::smallFileReadAllocatesLittle()
{
    QFETCH(QString, reader);
    constexpr size_t kSmallReadBytes = 1024 * 1024;

    const QString path = mRoot + "/small.json";
    const QByteArray text = R"({"lang": "xx", "times": 7, "playType": "2", "report": {"index": 1}})";
    writeText(path, text);
    const QJsonObject old{{"MouseDataOfGamingModeV3", QJsonObject{{"ReportRate", "Hz1000"}}}};
    bool readRight = false;
    const std::function<void()> read = [&] {
        if (reader == "whole") {
            readRight = readWholeFile(QFileInfo(path)) == std::make_pair(true, text);
        } else if (reader == "profile") {
            QJsonDocument document;
            readRight = readJsonDocument(path, &document) && document.object().value("times").toInt() == 7;
        } else if (reader == "overlay") {
            FChangeConfig change;
            readRight = change.changeConfig(old, path).value("report").toObject().value("index").toInt() == 3;
        } else if (reader == "layout") {
            readRight = LayoutDocument::read(path).value("times").toInt() == 7;
        } else if (reader == "translation") {
            Trans trans;
            QString lang;
            readRight = trans.load(lang, path) && lang == "xx";
        } else {
            HMacroType type;
            type.initFromFile(path);
            readRight = type.getValue() == 7 && type.getCurrentIndex() == "2";
        }
    };

#if !CORVANE_ALLOCATION_PROBE
    QSKIP("the allocation probe is left out of sanitizer builds");
#endif
    const size_t largest = largestAllocation(read);
    QVERIFY(readRight);
    QVERIFY2(largest < kSmallReadBytes, qPrintable(QString::number(largest)));

    // What the readers did before: the probe sees a read that sizes its buffer by the limit.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(largestAllocation([&] { file.read(16 * 1024 * 1024 + 1); }) > 16u * 1024 * 1024);
}

QTEST_GUILESS_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
