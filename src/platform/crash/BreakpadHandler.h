#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

// Writes a minidump into the dump folder when the process crashes, and lists, removes and uploads the dumps
// found there.
//
// Threads: one process-wide object, made on first use by instance() from any thread; the other calls come from
// the GUI thread. The crash handler itself runs on the crashing thread inside a signal handler: it only writes
// the dump and one prepared line to standard error, so onCrash is never emitted from there (nothing connects to
// it; it stays for callers that look for it).
class BreakpadHandler : public QObject
{
    Q_OBJECT
public:
    static BreakpadHandler* instance();
    // What a program's start-up calls (Corvane's and Tessaly's): the handler for the folder "crashs" in the
    // first of the program's local data locations; nothing when the system names none. Call it after the
    // application object exists and before the program's name is set, which would change the location.
    static void installForProgram();

    void setDumpPath(const QString& path);
    QString dumpPath() const;

    void setUploadUrl(const QUrl& url);
    QString uploadUrl() const;

    QStringList listDumps() const;
    bool hasDumps() const;
    void removeDumps();
    void uploadDumps(const QStringList& names);

signals:
    void onCrash(bool is_success, QString dump_dir, QString dump_file_name);

private:
    BreakpadHandler();
    ~BreakpadHandler() override;

    struct Private;
    Private* d;
};
