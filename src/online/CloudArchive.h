#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The archives of the cloud backup: a folder's files packed with their paths relative to the folder, and
// their unpacking over a folder. The unpacking trusts nothing in the archive: every entry is checked before
// a byte is written (a name of bare path parts, no absolute path, no "..", no link or special file, not
// encrypted, at most maxEntries entries and maxBytes bytes, also as really inflated), the whole archive is
// extracted into a fresh temporary folder beside the target, and only a complete extraction is copied over
// the target, never through a link that leads out of it. A refused archive changes nothing in the target.
//
// Threads: any; nothing is shared between calls.
namespace CloudArchive {

struct Limits
{
    int maxEntries = 4096;
    qint64 maxBytes = 64 * 1024 * 1024;
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
// the caller removes afterwards (a refused archive may have left part of its files there).
bool extract(QIODevice* archive, const QString& emptyFolder, const Limits& limits, QString* why);

} // namespace CloudArchive
