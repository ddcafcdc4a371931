#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The archives of the cloud backup: a folder's files packed with their paths relative to the folder, and
// their unpacking over a folder. The unpacking trusts nothing in the archive: every entry is checked before
// a byte is written (a UTF-8 name of bare path parts without NUL or other control characters, no absolute
// path, no "..", no link or special file, not encrypted, at most maxEntries entries and maxBytes bytes, also
// as really inflated, and no folder of the target holding more than maxPerFolder entries afterwards), the
// whole archive is extracted into a fresh temporary folder beside the target, and only a complete extraction
// is copied over the target, never through a link that leads out of it. A refused archive changes nothing in
// the target.
//
// Threads: any; nothing is shared between calls.
namespace CloudArchive {

struct Limits
{
    int maxEntries = 4096;
    qint64 maxBytes = 64 * 1024 * 1024;
    // The most entries any folder of the target may hold once the archive is unpacked over it (what it holds
    // and what the archive adds, together); 0 for no such limit. A folder that held more before may keep them,
    // but gets nothing new.
    int maxPerFolder = 0;
    // When set, only the files of the target's own folder whose names end with it count toward maxPerFolder
    // (a device's profiles, and not their pictures).
    QString countedSuffix;
};

// Packs the files below folder (its sub-folders included, links left out) into a new archive with a name
// of its own beside the folder, named after it. The archive's path, or empty when the folder is missing
// or the packing failed (nothing is left behind then).
QString pack(const QString& folder);

// Unpacks archive over folder (created when missing): files of the archive replace files of the same
// name, other files stay. False, with the reason in *why, when the archive is refused or a write failed.
bool unpack(const QByteArray& archive, const QString& folder, const Limits& limits = Limits(),
            QString* why = nullptr);

// The checks and the extraction alone: every entry of the archive into emptyFolder, a fresh folder that
// the caller removes afterwards (a refused archive may have left part of its files there). The entries of
// target, the folder the extraction is to be copied over, count toward limits.maxPerFolder.
bool extract(QIODevice* archive, const QString& emptyFolder, const QString& target, const Limits& limits, QString* why);

} // namespace CloudArchive
