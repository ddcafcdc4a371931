#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

// Starting the maker's programs "with administrator rights", finding running programs by name and ending them.
// On Linux the device nodes are opened through the udev rule's seat access, so the elevated start runs the
// program as the logged-in user (the user that pkexec or sudo ran us for, when we run as root), as a child of
// this process; its end is awaited with waitpid.
namespace Platform {

enum class StartError {
    None,
    PathNotFound,   // the program's folder does not exist
    AccessDenied,   // the program exists but cannot be executed
    FileNotFound,   // the folder exists, the program does not
    Declined,       // the user refused the elevation (only a test double says so here)
    Other,
};

struct ProcessExit {
    bool crashed = false;   // ended by a signal
    int exitCode = 0;       // the exit code when it ended normally
};

// Threads: any; one launcher serves the whole process.
class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    // Starts program (a full path) with arguments in the current folder; *pid receives its process id.
    virtual StartError startElevated(const QString& program, const QStringList& arguments, qint64* pid) = 0;
    StartError startElevated(const QString& program, qint64* pid) { return startElevated(program, {}, pid); }
    // Blocks until a process that startElevated started has ended.
    virtual ProcessExit waitForExit(qint64 pid) = 0;
    // For a process that startElevated started and nobody waits for: its end is collected in the background.
    virtual void release(qint64 pid) = 0;
};

// The process's launcher; tests install a double. Null puts the real one back. The caller keeps ownership.
ProcessLauncher* processLauncher();
void setProcessLauncher(ProcessLauncher* launcher);

// The id of the first running process of this user whose executable's base name equals name exactly
// (case-sensitive); 0 when none. In test runs (CORVANE_TEST set) only this process and its descendants are
// searched.
qint64 findProcessId(const QString& name);
// Ends a process of this user at once (SIGKILL); false for 0 or when it cannot be signalled.
bool killProcess(qint64 pid);
// Tests: stands in for killProcess (a process that will not end); an empty function puts the real one back.
void setKillHook(std::function<bool(qint64 pid)> hook);

} // namespace Platform
