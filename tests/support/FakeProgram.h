#pragma once

#include <QString>
#include <QStringList>

// Places the fake outside program (tests/support/fakeprogram) under a name the updaters expect, with the
// script it follows. See FakeProgram.cpp there for the script's commands.
namespace FakeProgram {

// Copies the program to path (folders created) with the script lines beside it; false on failure.
bool install(const QString& path, const QStringList& script);
// What the last run of the copy at path recorded: its working folder and its arguments.
QString lastFolder(const QString& path);
QStringList lastArguments(const QString& path);
bool hasRun(const QString& path);
// What the copy at path read from its TCP peer (tcp-read), all reads joined.
QByteArray received(const QString& path);

} // namespace FakeProgram
