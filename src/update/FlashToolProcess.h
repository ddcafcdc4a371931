#pragma once

#include <QProcess>
#include <QString>

#include <functional>

// How the program's own updaters run a flashing program: an ordinary child process started in the tool's
// folder (the process's own current folder is left alone), read-write channels.
namespace FlashToolProcess {

// The result code of a program that never started.
constexpr int kNotStarted = -1;

// A process owned by parent that logs startedLog when it has started and calls notStarted when it could not
// be started (no finished signal follows then).
QProcess* create(QObject* parent, const QString& startedLog, const std::function<void()>& notStarted);
// Starts folder/program with folder as its working folder.
void start(QProcess* process, const QString& folder, const QString& program);
// The exit code of a program that ended; kNotStarted for one that crashed.
int resultCode(int exitCode, QProcess::ExitStatus status);

} // namespace FlashToolProcess
