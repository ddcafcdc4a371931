#pragma once

#include <QString>

// The process's crash handler: setDumpPath names the folder that crash dumps go to and creates it. Writing the
// dumps themselves is not part of this build yet (see README, "What Corvane does not do"); the folder and its
// checks are already the program's.
//
// Threads: instance() from any thread (first use constructs it); setDumpPath at start-up on the GUI thread.
class BreakpadHandler
{
public:
    static BreakpadHandler* instance();

    // A relative path is taken relative to the program folder. The folder is created with its parents; when it
    // still does not exist the failure is logged and nothing is set.
    void setDumpPath(const QString& path);
    // Empty until a folder was set.
    QString dumpPath() const { return m_dumpPath; }

private:
    BreakpadHandler() = default;

    QString m_dumpPath;
};
