#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>

// Zip archives made entry by entry, with whatever names and file types a test needs (hostile ones included),
// and snapshots of folder trees to compare byte for byte.
namespace ArchiveFixtures {

constexpr quint32 kRegular = 0100644;
constexpr quint32 kFolder = 0040755;
constexpr quint32 kLink = 0120777;

struct Entry
{
    QString name;
    QByteArray content; // a link's target for kLink
    quint32 unixMode = kRegular;
    QByteArray rawName; // when set, the name's bytes as stored, whatever they are (name is then ignored)
};

// The archive of entries, in their order; names are stored as UTF-8 (or as their raw bytes).
QByteArray zip(const QList<Entry>& entries);

// Every entry below folder by its relative path: a file's content, "<folder>" for a folder, "<link>" and the
// target for a link. Empty when the folder is missing.
QMap<QString, QByteArray> snapshot(const QString& folder);

// Writes bytes to path, making its folders.
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace ArchiveFixtures
