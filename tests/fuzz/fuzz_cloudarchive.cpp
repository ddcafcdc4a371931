// Cloud backup archives as the restore receives them from the web: whatever the bytes, the unpacking writes
// only regular files and folders inside its target, no folder past its entry limit, and an archive it refuses
// leaves everything as it was.

#include "FuzzSupport.h"

#include "online/CloudArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// Every entry below folder by its relative path: a file with its bytes, a link marked as one.
QStringList tree(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString entry = info.filePath().mid(folder.size() + 1);
        if (info.isSymLink()) {
            entry += QStringLiteral(" -> link");
        } else if (info.isFile()) {
            QFile file(info.filePath());
            FUZZ_CHECK(file.open(QIODevice::ReadOnly));
            entry += QStringLiteral(" = ") + QString::fromLatin1(file.readAll().toHex());
        }
        entries << entry;
    }
    entries.sort();
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWorkspace& workspace = FuzzWorkspace::instance();
    const QString root = workspace.path() + QStringLiteral("/root");
    QDir(root).removeRecursively();
    // What the user has: a file in the target, one beside it.
    FUZZ_CHECK(QDir().mkpath(root + QStringLiteral("/target")));
    workspace.write(QStringLiteral("root/target/local.json"), "{\"local\":true}");
    workspace.write(QStringLiteral("root/beside.json"), "{\"beside\":true}");
    const QStringList before = tree(root);

    // Small limits, so that the fuzzer reaches them.
    CloudArchive::Limits limits {64, 64 * 1024};
    limits.maxPerFolder = 8;
    const bool unpacked = CloudArchive::unpack(fuzzInput(data, size), root + QStringLiteral("/target"), limits);
    const QStringList after = tree(root);
    if (!unpacked) {
        FUZZ_CHECK(after == before);
        return 0;
    }
    // Beside the target everything is as it was; inside it only regular files and folders.
    for (const QString& entry : after) {
        FUZZ_CHECK(!entry.endsWith(QStringLiteral(" -> link")));
        FUZZ_CHECK(entry.startsWith(QStringLiteral("target")) || before.contains(entry));
    }
    for (const QString& entry : before) {
        if (!entry.startsWith(QStringLiteral("target")))
            FUZZ_CHECK(after.contains(entry));
    }
    QDirIterator folders(root + QStringLiteral("/target"), QDir::Dirs | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    FUZZ_CHECK(QDir(root + QStringLiteral("/target")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() <= 8);
    while (folders.hasNext())
        FUZZ_CHECK(QDir(folders.next()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() <= 8);
    return 0;
}
