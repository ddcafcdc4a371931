#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Reads back the streams a minidump holds, checking every location against the file's size; error() says what
// was wrong when something is.
struct MinidumpContents {
    QString error;
    QList<quint32> streamTypes;
    quint16 architecture = 0;
    quint32 platformId = 0;
    quint32 exceptionThread = 0;
    quint32 signal = 0;
    quint32 signalCode = 0;
    quint64 exceptionAddress = 0;
    quint64 instructionPointer = 0;
    quint64 stackPointer = 0;
    QList<quint32> threadIds;
    quint64 stackStart = 0;
    quint32 stackSize = 0;
    QStringList modules;
    // Each module's build id from its CodeView record (empty without one), in the order of modules.
    QList<QByteArray> buildIds;
    // The memory list: {start, size} per range, each checked to lie in the file.
    QList<QPair<quint64, quint32>> memoryRanges;
    quint32 processId = 0;
    // The memory information list: {base, size, protection} per mapping.
    struct MemoryInfo {
        quint64 base;
        quint64 size;
        quint32 protect;
    };
    QList<MemoryInfo> memoryInfo;
};

MinidumpContents readMinidump(const QByteArray& file);

// The GNU build id note of the ELF file at path, as the linker wrote it; empty when it has none.
QByteArray elfBuildId(const QString& path);
