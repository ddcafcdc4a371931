#include "ArchiveFixtures.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QtTest>

namespace ArchiveFixtures {

QByteArray zip(const QList<Entry>& entries)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QuaZip archive(&buffer);
    archive.setFileNameCodec(QTextCodec::codecForName("UTF-8"));
    archive.setUtf8Enabled(true);
    if (!archive.open(QuaZip::mdCreate))
        qFatal("ArchiveFixtures::zip: cannot create an archive");
    // Raw names go in as placeholders of their length, replaced afterwards in the local header and the
    // central directory.
    QList<QPair<QByteArray, QByteArray>> patches;
    for (const Entry& entry : entries) {
        QString name = entry.name;
        if (!entry.rawName.isEmpty()) {
            const QByteArray placeholder = QByteArray("#%1#")
                                               .replace("%1", QByteArray::number(patches.size()))
                                               .leftJustified(entry.rawName.size(), '#');
            if (placeholder.size() != entry.rawName.size())
                qFatal("ArchiveFixtures::zip: a raw name is too short for its placeholder");
            patches.append({placeholder, entry.rawName});
            name = QString::fromLatin1(placeholder);
        }
        QuaZipNewInfo info(name);
        info.externalAttr = entry.unixMode << 16;
        QuaZipFile file(&archive);
        if (!file.open(QIODevice::WriteOnly, info))
            qFatal("ArchiveFixtures::zip: cannot add an entry");
        file.write(entry.content);
        file.close();
    }
    archive.close();
    QByteArray bytes = buffer.data();
    for (const auto& patch : patches) {
        int replaced = 0;
        for (int at = bytes.indexOf(patch.first); at >= 0; at = bytes.indexOf(patch.first, at + 1), ++replaced)
            bytes.replace(at, patch.second.size(), patch.second);
        if (replaced != 2)
            qFatal("ArchiveFixtures::zip: a raw name's placeholder is not where it belongs");
    }
    return bytes;
}

QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    if (!QFileInfo(folder).isDir())
        return entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString relative = path.mid(folder.size() + 1);
        if (info.isSymLink()) {
            entries.insert(relative, "<link>" + QFile::encodeName(info.symLinkTarget()));
        } else if (info.isDir()) {
            entries.insert(relative, "<folder>");
        } else {
            QFile file(path);
            entries.insert(relative, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
        }
    }
    return entries;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

} // namespace ArchiveFixtures
