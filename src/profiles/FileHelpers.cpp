#include "profiles/FileHelpers.h"

#include "profiles/FileRegistration.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileIconProvider>
#include <QIcon>
#include <QSaveFile>

#include <climits>
#include <unistd.h>

namespace {

// As many links as the kernel follows in one path before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;

constexpr qint64 kCopyChunk = 64 * 1024;

QString folderPart(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString namePart(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Sub-folders reached through a link are not entered: a link back up the tree would never end the walk.
QFileInfoList subFolders(const QDir& folder, QDir::SortFlags sort)
{
    QDir dir(folder.path());
    dir.setNameFilters({QStringLiteral("*")});
    dir.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    dir.setSorting(sort);
    return dir.entryInfoList();
}

// Writes the whole of source into target through a save file: the target keeps its old content unless
// every byte of the copy has been written.
bool copyThroughSaveFile(const QString& sourcePath, const QString& targetPath)
{
    QFile in(sourcePath);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(targetPath);
    // Unbuffered: a short write (disk full, size limit) must show in the count, the buffered path hides it.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // Read until the end is reported by the read itself: some files report a size of 0 yet have content,
    // and a read error must never leave a shortened copy behind.
    for (;;) {
        const QByteArray chunk = in.read(kCopyChunk);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                out.cancelWriting();
            break;
        }
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            break;
        }
    }
    if (!out.commit())
        return false;
    QFile::setPermissions(targetPath, in.permissions());
    return true;
}

} // namespace

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFile::exists(path);
}

bool dirExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool createDefaultFile(QString path, CreatedFileKind kind)
{
    if (fileExists(path))
        return true;
    if (!makeFolder(folderPart(path)))
        return false;

    const QString name = namePart(path);
    const QByteArray content = starterDocument(kind, name);
    QFile file(path);
    // NewOnly: a file that appeared since the test above is never truncated. Unbuffered: a short write
    // (disk full, size limit) must show in the count.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(content) != content.size()) {
        // The file is ours alone: a cut document is removed rather than left behind.
        file.close();
        file.remove();
        return false;
    }
    file.close();
    registerCreatedFile(path, name, kind);
    return fileExists(path);
}

bool makeFolder(QString path)
{
    if (dirExists(path))
        return true;
    if (!path.contains(QLatin1Char('/')))
        return false;

    if (!QDir().mkdir(path)) {
        if (makeFolder(folderPart(path)))
            QDir().mkdir(path);
    }
    // Only a folder that now exists is shown in the macro tree.
    if (!dirExists(path))
        return false;
    registerCreatedFolder(path);
    return true;
}

bool copyFile(const QFileInfo& source, const QFileInfo& target, const bool& overwrite)
{
    const QString sourcePath = source.filePath();
    const QString targetPath = target.filePath();
    if (sourcePath.isEmpty() || sourcePath.endsWith(QLatin1Char('/')))
        return false;
    if (targetPath.isEmpty() || targetPath.endsWith(QLatin1Char('/')))
        return false;
    if (!source.isFile())
        return false;

    const QString targetFolder = target.absolutePath();
    if (!QFileInfo(targetFolder).isReadable() && !QDir().mkpath(targetFolder))
        return false;

    if (QFile::exists(targetPath) && (!overwrite || QFileInfo(targetPath).isDir()))
        return false;
    return copyThroughSaveFile(sourcePath, targetPath);
}

bool copyDir(const QDir& source, const QDir& target, const bool& overwrite)
{
    const QString sourceRoot = source.absolutePath();
    const QString targetRoot = target.path();
    // A target inside the source would be walked while it is being filled: the copy would never end. Also
    // when the target reaches the source only through a link.
    if (isFolderOrInside(target.absolutePath(), sourceRoot))
        return false;
    return walkEntries(
        source,
        [&](const QFileInfo& file, bool& proceed) {
            const QString relative = file.absolutePath().mid(sourceRoot.size());
            QString path = targetRoot;
            if (!relative.isEmpty())
                path += relative.startsWith(QLatin1Char('/')) ? relative : QLatin1Char('/') + relative;
            path += QLatin1Char('/') + file.fileName();
            proceed = copyFile(file, QFileInfo(path), overwrite);
        },
        true);
}

bool removeFile(const QFileInfo& file)
{
    // A dangling link does not "exist" but is still an entry that can be removed.
    if (!file.exists() && !file.isSymLink())
        return false;
    return QFile::remove(file.absoluteFilePath());
}

bool removeDir(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QFile::remove(info.absoluteFilePath());
    if (!info.isDir())
        return true;

    QDir dir(path);
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            removeDir(entry.absoluteFilePath());
        else
            dir.remove(entry.fileName());
    }
    // Only the folder itself: its parents (the profile or macro root among them) stay, empty or not.
    return dir.rmdir(dir.absolutePath());
}

bool renameFileOrDir(const QString& path, QString newName)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return false;
    if (!isBareName(newName))
        return false;

    // The entry stays in its own folder, also when the path names no folder or ends with a separator.
    const QString entryPath = QDir::cleanPath(path);
    const QString folder = folderPart(entryPath);
    const QString newPath = entryPath.contains(QLatin1Char('/')) ? folder + QLatin1Char('/') + newName : newName;
    if (QFileInfo::exists(newPath) || QFileInfo(newPath).isSymLink())
        return false;
    if (info.isDir() && !info.isSymLink())
        return QDir(entryPath).rename(entryPath, newPath);
    return QFile::rename(entryPath, newPath);
}

bool walkEntries(const QDir& folder, const FileCallback& callback, const bool& recursive)
{
    bool proceed = true;
    QDir dir(folder.path());
    dir.setNameFilters({QStringLiteral("*")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Time | QDir::Reversed);
    const QFileInfoList files = dir.entryInfoList();
    for (const QFileInfo& file : files) {
        callback(file, proceed);
        if (!proceed)
            return false;
    }
    if (recursive) {
        const QFileInfoList dirs = subFolders(folder, QDir::Unsorted);
        for (const QFileInfo& sub : dirs) {
            if (!walkEntries(QDir(sub.absoluteFilePath()), callback, recursive))
                return false;
        }
    }
    return true;
}

bool walkSubDirs(const QDir& folder, const DirCallback& callback, const bool& recursive)
{
    bool proceed = true;
    const QFileInfoList dirs = subFolders(folder, QDir::Time | QDir::Reversed);
    for (const QFileInfo& sub : dirs) {
        callback(QDir(sub.absoluteFilePath()), proceed);
        if (!proceed)
            return false;
    }
    if (recursive) {
        for (const QFileInfo& sub : subFolders(folder, QDir::Unsorted)) {
            if (!walkSubDirs(QDir(sub.absoluteFilePath()), callback, recursive))
                return false;
        }
    }
    return true;
}

qint64 dirSize(const QDir& folder, const bool& recursive)
{
    qint64 total = 0;
    walkEntries(
        folder, [&total](const QFileInfo& file, bool&) { total += file.size(); }, recursive);
    return total;
}

qint64 fileSize(const QFileInfo& file)
{
    return file.isFile() ? file.size() : -1;
}

bool writeBytesToFile(const QFileInfo& file, const QByteArray& data, const bool& overwrite)
{
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isReadable() && !QDir().mkpath(folder))
        return false;
    if (file.exists() && !overwrite)
        return true;

    return saveFileContents(file.absoluteFilePath(), data);
}

std::pair<bool, QByteArray> readWholeFile(const QFileInfo& file)
{
    // A pipe would keep the open waiting for a writer, a device node the read going without end.
    const QFileInfo info(file.absoluteFilePath());
    QFile in(info.absoluteFilePath());
    if (!info.isFile() || !in.open(QIODevice::ReadOnly))
        return {false, QByteArray()};
    return readAtMost(in, kMaxWholeFileBytes);
}

bool copyFileOrDir(const QFileInfo& source, const QFileInfo& target, const bool& overwrite)
{
    if (source.isFile())
        return copyFile(source, target, overwrite);
    if (source.isDir())
        return copyDir(QDir(source.filePath()), QDir(target.filePath()), overwrite);
    return false;
}

QPixmap fileIconPixmap(const QString& path, const QString& savePath, const QSize& size)
{
    const QFileIconProvider provider;
    const QPixmap pixmap = provider.icon(QFileInfo(path)).pixmap(size, QIcon::Normal, QIcon::Off);
    if (!savePath.isEmpty())
        pixmap.save(savePath);
    return pixmap;
}

QPixmap shellIconPixmap(QString path, QString savePath)
{
    // The desktop's own icon for the entry, at the size the shell uses for its small icons.
    const QFileIconProvider provider;
    const QIcon icon = provider.icon(QFileInfo(path));
    const QList<QSize> sizes = icon.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(32, 32) : sizes.constLast();
    const QPixmap pixmap = icon.pixmap(size);
    if (!savePath.isEmpty())
        pixmap.save(savePath);
    return pixmap;
}

QString appDirPath()
{
    return QCoreApplication::applicationDirPath();
}

bool saveFileContents(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    // Unbuffered: a short write (disk full, size limit) must show in the count, the buffered path hides it.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool isBareName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

namespace {

// The target of the link at path, as stored; empty when path is no link.
QString linkText(const QString& path)
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer);
    if (length <= 0 || length >= ssize_t(sizeof buffer))
        return QString();
    return QFile::decodeName(QByteArray(buffer, int(length)));
}

QString parentOf(const QString& resolved)
{
    const int slash = resolved.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : resolved.left(slash);
}

// Walks path one name at a time from base (itself resolved, or "/"), as the kernel does: a name that is a
// link is replaced by its resolved target before the next name is looked at, so ".." after a link leaves
// the link's target, not the folder that holds the link.
QString resolveFrom(QString resolved, const QString& path, int& hops)
{
    if (path.startsWith(QLatin1Char('/')))
        resolved = QStringLiteral("/");
    const QStringList names = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        if (name == QLatin1String("."))
            continue;
        if (name == QLatin1String("..")) {
            resolved = parentOf(resolved);
            continue;
        }
        const QString next = resolved == QLatin1String("/") ? resolved + name : resolved + QLatin1Char('/') + name;
        if (!QFileInfo(next).isSymLink()) {
            resolved = next;
            continue;
        }
        const QString target = linkText(next);
        if (target.isEmpty() || ++hops > kMaxLinkHops)
            return QString();
        resolved = resolveFrom(resolved, target, hops);
        if (resolved.isEmpty())
            return QString();
    }
    return resolved;
}

// The absolute path the file system reaches through path, the parts that do not exist yet kept as written;
// empty when links loop or nest too deeply to follow.
QString resolvedPath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    int hops = 0;
    return resolveFrom(QDir::currentPath(), path, hops);
}

enum class Containment { Outside, Same, Inside };

Containment containment(const QString& path, const QString& root)
{
    if (path.isEmpty() || root.isEmpty())
        return Containment::Outside;
    const QString resolvedRoot = resolvedPath(root);
    const QString resolved = resolvedPath(path);
    if (resolvedRoot.isEmpty() || resolved.isEmpty())
        return Containment::Outside;
    if (resolved == resolvedRoot)
        return Containment::Same;
    const QString prefix = resolvedRoot.endsWith(QLatin1Char('/')) ? resolvedRoot : resolvedRoot + QLatin1Char('/');
    return resolved.startsWith(prefix) ? Containment::Inside : Containment::Outside;
}

} // namespace

bool isInsideFolder(const QString& path, const QString& root)
{
    return containment(path, root) == Containment::Inside;
}

bool isFolderOrInside(const QString& path, const QString& root)
{
    return containment(path, root) != Containment::Outside;
}
