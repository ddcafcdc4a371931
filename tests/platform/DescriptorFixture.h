#pragma once

// Report descriptors kept as files next to the tests: the standard boot keyboard and boot mouse, and a
// vendor interface with two collections.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

inline QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(CORVANE_SOURCE_DIR "/tests/platform/fixtures/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}
