#pragma once

// Reading a file whose size is not to be trusted, for every layer.

#include <QByteArray>
#include <QFile>
#include <QtGlobal>

#include <utility>

// Reads the rest of an open file, at most limit bytes, in chunks: memory follows the file, never the limit.
// {false, empty} when the file holds more than limit bytes or the read fails.
inline std::pair<bool, QByteArray> readAtMost(QFile& file, qint64 limit)
{
    constexpr qint64 kChunk = 64 * 1024;
    // QIODevice::read(max) sizes its buffer to max before it reads a byte, so one call with the limit would
    // cost the whole limit for every small file. The size the file reports only sets the first capacity:
    // it may be 0 for a file with content or grow while we read, so the end is what the reads say.
    QByteArray bytes;
    const qint64 reported = file.size() - file.pos();
    if (reported > limit)
        return {false, QByteArray()};
    if (reported > 0)
        bytes.reserve(int(reported));
    for (;;) {
        const QByteArray chunk = file.read(qMin(kChunk, limit + 1 - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
        // One byte beyond the limit tells a file that is too large.
        if (bytes.size() > limit)
            return {false, QByteArray()};
    }
    if (file.error() != QFileDevice::NoError)
        return {false, QByteArray()};
    return {true, bytes};
}
