#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What a firmware file must be before a device is switched into its bootloader for it, and before a downloaded
// one replaces the file that lies there: a regular file (a FIFO, a device node or a folder of that name is
// refused without being read, and looking at it never blocks), not empty, no larger than its kind allows, and
// of its kind's format. An answer of a web server (an HTML page, a JSON error) is never firmware, whatever its
// status or length.
//
// The kind follows from the file's name, the one table below:
//   "Nuc123.bin"    the bootloader image of the Cawdor mice: at most 128 KiB, binary (not text);
//   "*.zip"         a DFU package: a zip archive, at most 16 MiB;
//   "*.exe"         an update program the library starts: an ELF program or a "#!" script, at most 64 MiB;
//   any other name  a firmware image for a flashing program: at most 1 MiB, binary (not text).
//
// Threads: any; nothing is shared between calls.
namespace FirmwareFile {

enum class Format { Image, Package, Program };

struct Rule {
    Format format;
    qint64 maxBytes;
};

enum class Verdict {
    Accepted,
    Missing,    // no file of that name
    NotRegular, // a folder, a FIFO, a device node, a socket
    Unreadable, // cannot be opened or read whole (or it changed while it was read)
    Empty,
    TooLarge,
    Text,        // an HTML page, a JSON answer or other text where binary firmware belongs
    WrongFormat, // not the package or program its name says
    WriteFailed, // save() only: passed, but could not be written
};

Rule ruleFor(const QString& fileName);

// The contents of a file of the rule.
Verdict checkContents(const QByteArray& bytes, const Rule& rule);

// Reads the file whole into *contents (when given) if it passes; *contents is left empty otherwise. The file is
// opened without following it into a FIFO's wait, and never more than the rule's size is read.
Verdict read(const QString& path, const Rule& rule, QByteArray* contents = nullptr);

// Replaces target by bytes when they pass the checks of target's name: written to a temporary file beside it
// and renamed over it, so the old file stays whole when anything fails. An update program is made runnable by
// its owner alone. Accepted, or the reason nothing was written (WriteFailed with *error saying why).
Verdict save(const QString& target, const QByteArray& bytes, QString* error = nullptr);

// True when bytes begin as a program this system starts: an ELF program or a "#!" script. A few bytes of the
// start are enough.
bool startsAsProgram(const QByteArray& bytes);

// For the log: what was wrong ("missing", "empty", ...).
QString describe(Verdict verdict);

} // namespace FirmwareFile
