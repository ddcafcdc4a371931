#include "online/CloudArchive.h"

#include "common/Utf8Text.h"
#include "profiles/FileHelpers.h"

#include <quazip/JlCompress.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/unzip.h>

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextCodec>

namespace {

// The file type bits of a Unix mode, as zip tools keep it in the upper half of the external attributes.
constexpr quint32 kTypeMask = 0170000;
constexpr quint32 kTypeRegular = 0100000;
constexpr quint32 kTypeDirectory = 0040000;
// The DOS attribute of a folder, in the lower half.
constexpr quint32 kDosDirectory = 0x10;
constexpr qint64 kChunk = 64 * 1024;

// Names inside the archives are UTF-8 on both sides, whatever the locale: profile names may be Chinese.
void useUtf8Names()
{
    static const bool done = [] {
        QuaZip::setDefaultFileNameCodec(QTextCodec::codecForName("UTF-8"));
        return true;
    }();
    (void)done;
}

bool refuse(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return false;
}

struct Entry
{
    QString name; // without a trailing "/"
    bool folder = false;
    qint64 size = 0;  // as declared
};

// An entry's name as bare path parts below the folder, without the "/" that ends a folder's name; false for
// anything else.
bool bareRelativePath(const QString& entryName, Entry* entry)
{
    entry->name = entryName;
    entry->folder = entryName.endsWith(QLatin1Char('/'));
    if (entry->folder)
        entry->name.chop(1);
    if (entry->name.isEmpty())
        return false;
    const QStringList parts = entry->name.split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (!isBareName(part))
            return false;
    }
    return true;
}

// The current entry's name as the archive stores it: QuaZip's decoded name hides bytes that are no UTF-8
// (replacement characters) and ends at a NUL.
bool rawName(QuaZip& zip, QByteArray* name)
{
    // A zip name field holds at most 65535 bytes.
    QByteArray buffer(65536, '\0');
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip.getUnzFile(), &info, buffer.data(), uLong(buffer.size()), nullptr, 0, nullptr, 0)
            != UNZ_OK
        || info.size_filename > uLong(buffer.size()))
        return false;
    buffer.truncate(int(info.size_filename));
    *name = buffer;
    return true;
}

// The entries of the archive, each checked on its own and all together against the limits.
bool listEntries(QuaZip& zip, const CloudArchive::Limits& limits, QList<Entry>* entries, QString* why)
{
    qint64 declared = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        if (entries->size() >= limits.maxEntries)
            return refuse(why, QStringLiteral("more than %1 entries").arg(limits.maxEntries));
        QuaZipFileInfo64 info;
        QByteArray raw;
        if (!zip.getCurrentFileInfo(&info) || !rawName(zip, &raw))
            return refuse(why, QStringLiteral("unreadable entry"));
        if (!isUtf8(raw))
            return refuse(
                why,
                QStringLiteral("entry name \"%1\" is not UTF-8").arg(QString::fromLatin1(raw.toPercentEncoding("/"))));
        // Whole, with any NUL in it: a name that a NUL would cut short is refused with the control characters.
        const QString name = QString::fromUtf8(raw.constData(), raw.size());
        Entry entry;
        if (!bareRelativePath(name, &entry))
            return refuse(why,
                          QStringLiteral("entry name \"%1\" is not a path inside the folder")
                              .arg(QString::fromLatin1(raw.toPercentEncoding("/ "))));
        const quint32 type = (info.externalAttr >> 16) & kTypeMask;
        if (type == kTypeDirectory || (info.externalAttr & kDosDirectory))
            entry.folder = true;
        else if (type != 0 && type != kTypeRegular)
            return refuse(why, QStringLiteral("entry \"%1\" is a link or a special file").arg(name));
        if (info.isEncrypted())
            return refuse(why, QStringLiteral("entry \"%1\" is encrypted").arg(name));
        entry.size = qint64(info.uncompressedSize);
        declared += entry.size;
        if (info.uncompressedSize > quint64(limits.maxBytes) || declared > limits.maxBytes)
            return refuse(why, QStringLiteral("more than %1 bytes").arg(limits.maxBytes));
        entries->append(entry);
    }
    if (zip.getZipError() != UNZ_OK)
        return refuse(why, QStringLiteral("damaged archive (%1)").arg(zip.getZipError()));
    return true;
}

// Whether the target's folders stay within limits.maxPerFolder once the entries are added to them: each
// folder's names, what it holds and what the archive brings, counted together. Nothing is written here.
bool withinFolderLimits(const QList<Entry>& entries, const QString& target, const CloudArchive::Limits& limits,
                        QString* why)
{
    if (limits.maxPerFolder <= 0)
        return true;
    const bool suffixOnly = !limits.countedSuffix.isEmpty();
    // Folder (relative, "" for the target itself) -> the names the archive puts into it.
    QHash<QString, QSet<QString>> added;
    for (const Entry& entry : entries) {
        const QStringList parts = entry.name.split(QLatin1Char('/'));
        if (suffixOnly) {
            if (parts.size() == 1 && !entry.folder && entry.name.endsWith(limits.countedSuffix, Qt::CaseInsensitive))
                added[QString()].insert(entry.name);
            continue;
        }
        for (int i = 0; i < parts.size(); ++i)
            added[QStringList(parts.mid(0, i)).join(QLatin1Char('/'))].insert(parts.at(i));
    }
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        const QDir folder(it.key().isEmpty() ? target : target + QLatin1Char('/') + it.key());
        const QStringList held = suffixOnly
            ? folder.entryList({QLatin1Char('*') + limits.countedSuffix}, QDir::Files, QDir::Unsorted)
            : folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Unsorted);
        QSet<QString> after(held.cbegin(), held.cend());
        after.unite(it.value());
        if (after.size() > limits.maxPerFolder && after.size() > held.size())
            return refuse(why,
                          QStringLiteral("folder \"%1\" would hold %2 entries, more than %3")
                              .arg(it.key(), QString::number(after.size()), QString::number(limits.maxPerFolder)));
    }
    return true;
}

// One file entry, the current one of zip, into path; at most *budget bytes, which it lowers.
bool extractEntry(QuaZip& zip, const QString& path, qint64 declared, qint64* budget, QString* why)
{
    QuaZipFile in(&zip);
    if (!in.open(QIODevice::ReadOnly))
        return refuse(why, QStringLiteral("entry cannot be read (%1)").arg(in.getZipError()));
    QFile out(path);
    // A second entry of the same name, or a file where the archive also has a folder: not an archive of ours.
    if (QFileInfo::exists(path) || !out.open(QIODevice::NewOnly | QIODevice::WriteOnly))
        return refuse(why, QStringLiteral("entry \"%1\" cannot be written").arg(path));
    qint64 inflated = 0;
    for (;;) {
        const QByteArray chunk = in.read(qMin(kChunk, *budget + 1));
        if (chunk.isEmpty())
            break;
        inflated += chunk.size();
        *budget -= chunk.size();
        if (*budget < 0)
            return refuse(why, QStringLiteral("inflates beyond the byte limit"));
        if (out.write(chunk) != chunk.size())
            return refuse(why, QStringLiteral("write failed: %1").arg(out.errorString()));
    }
    in.close();
    // The check sum is compared at the close, but only for an entry read to its declared end: a stream that
    // ends early is damaged as well.
    if (in.getZipError() != UNZ_OK || inflated != declared)
        return refuse(why, QStringLiteral("damaged entry (%1)").arg(in.getZipError()));
    if (!out.flush())
        return refuse(why, QStringLiteral("write failed: %1").arg(out.errorString()));
    return true;
}

// Where each extracted file goes below target; false when one of them would go through a link out of the
// target or onto a folder. Nothing is written here.
bool planCopy(const QString& source, const QString& target, QList<QPair<QString, QString>>* copies, QString* why)
{
    QDirIterator it(source, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = target + from.mid(source.size());
        if (!isInsideFolder(to, target))
            return refuse(why, QStringLiteral("\"%1\" leads out of the folder").arg(to));
        const QFileInfo existing(to);
        if (existing.isDir())
            return refuse(why, QStringLiteral("\"%1\" is a folder").arg(to));
        // Every folder on the way must be a folder (or not there yet).
        for (QFileInfo parent(existing.absolutePath()); parent.absoluteFilePath().size() > target.size();
             parent = QFileInfo(parent.absolutePath())) {
            if (parent.exists() && !parent.isDir())
                return refuse(why, QStringLiteral("\"%1\" is not a folder").arg(parent.absoluteFilePath()));
        }
        copies->append(qMakePair(from, to));
    }
    return true;
}

} // namespace

QString CloudArchive::pack(const QString& folder)
{
    useUtf8Names();
    const QFileInfo info(folder);
    if (!info.isDir())
        return QString();
    // A name of its own: a file the user keeps beside the folder is never overwritten or removed.
    QTemporaryFile reserved(info.absolutePath() + QLatin1Char('/') + info.fileName() + QStringLiteral("-XXXXXX.zip"));
    reserved.setAutoRemove(false);
    if (!reserved.open())
        return QString();
    const QString archive = reserved.fileName();
    reserved.close();
    if (!JlCompress::compressDir(archive, info.absoluteFilePath(), true, QDir::NoSymLinks)) {
        QFile::remove(archive);
        return QString();
    }
    return archive;
}

bool CloudArchive::extract(QIODevice* archive, const QString& emptyFolder, const QString& target, const Limits& limits,
                           QString* why)
{
    useUtf8Names();
    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdUnzip))
        return refuse(why, QStringLiteral("not an archive"));
    QList<Entry> entries;
    if (!listEntries(zip, limits, &entries, why) || !withinFolderLimits(entries, target, limits, why))
        return false;

    const QDir root(emptyFolder);
    qint64 budget = limits.maxBytes;
    int index = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile(), ++index) {
        const Entry& entry = entries.at(index);
        const QString path = root.absoluteFilePath(entry.name);
        if (entry.folder) {
            if (!root.mkpath(entry.name))
                return refuse(why, QStringLiteral("folder \"%1\" cannot be made").arg(entry.name));
            continue;
        }
        const int slash = entry.name.lastIndexOf(QLatin1Char('/'));
        if (slash > 0 && !root.mkpath(entry.name.left(slash)))
            return refuse(why, QStringLiteral("folder of \"%1\" cannot be made").arg(entry.name));
        if (!extractEntry(zip, path, entry.size, &budget, why))
            return false;
    }
    if (zip.getZipError() != UNZ_OK)
        return refuse(why, QStringLiteral("damaged archive (%1)").arg(zip.getZipError()));
    return true;
}

bool CloudArchive::unpack(const QByteArray& archive, const QString& folder, const Limits& limits, QString* why)
{
    const QFileInfo target(folder);
    const QString targetPath = target.absoluteFilePath();
    if (target.exists() && !target.isDir())
        return refuse(why, QStringLiteral("\"%1\" is not a folder").arg(targetPath));
    // Beside the target: the copy below stays on one file system, and nothing of the user's is in the way.
    const QString parent = target.absolutePath();
    if (!QDir().mkpath(parent))
        return refuse(why, QStringLiteral("\"%1\" cannot be made").arg(parent));
    QTemporaryDir staging(parent + QStringLiteral("/.") + target.fileName() + QStringLiteral("-restore-XXXXXX"));
    if (!staging.isValid())
        return refuse(why, QStringLiteral("no temporary folder beside \"%1\"").arg(targetPath));

    QBuffer buffer;
    buffer.setData(archive);
    if (!buffer.open(QIODevice::ReadOnly) || !extract(&buffer, staging.path(), targetPath, limits, why))
        return false;

    QList<QPair<QString, QString>> copies;
    if (!planCopy(staging.path(), targetPath, &copies, why))
        return false;
    if (!QDir().mkpath(targetPath))
        return refuse(why, QStringLiteral("\"%1\" cannot be made").arg(targetPath));
    for (const auto& copy : copies) {
        const auto [read, bytes] = readWholeFile(QFileInfo(copy.first));
        if (!read || !QDir().mkpath(QFileInfo(copy.second).absolutePath()) || !saveFileContents(copy.second, bytes))
            return refuse(why, QStringLiteral("\"%1\" cannot be written").arg(copy.second));
    }
    return true;
}
