#pragma once

#include <QByteArray>
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
};

MinidumpContents readMinidump(const QByteArray& file);
