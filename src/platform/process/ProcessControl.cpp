#include "platform/process/ProcessControl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <thread>
#include <vector>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform {
namespace {

// Started with administrator rights on behalf of a user (pkexec, sudo): that user, whose programs we start.
bool seatUser(uid_t* uid, gid_t* gid)
{
    if (::geteuid() != 0)
        return false;
    for (const char* name : {"PKEXEC_UID", "SUDO_UID"}) {
        bool ok = false;
        const uint value = qEnvironmentVariable(name).toUInt(&ok);
        if (!ok || value == 0)
            continue;
        const passwd* user = ::getpwuid(uid_t(value));
        if (!user)
            return false;
        *uid = user->pw_uid;
        *gid = user->pw_gid;
        return true;
    }
    return false;
}

// fork and exec with the user's ids; only async-signal-safe calls run in the child.
int spawnAs(const QByteArray& path, char* const argv[], uid_t uid, gid_t gid, pid_t* child)
{
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return errno;
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (pid == 0) {
        ::close(report[0]);
        int error = 0;
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            error = EPERM;
        else
            ::execve(path.constData(), argv, environ);
        if (error == 0)
            error = errno;
        (void)!::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int error = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == sizeof error) {
        ::waitpid(pid, nullptr, 0);
        return error;
    }
    *child = pid;
    return 0;
}

// Blocks until our child pid has ended and collects it.
ProcessExit waitForChild(qint64 pid)
{
    ProcessExit result;
    if (pid <= 0)
        return result;
    int status = 0;
    pid_t rc;
    do {
        rc = ::waitpid(pid_t(pid), &status, 0);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        // Not our child any more (already reaped): nothing is known of its end.
        result.crashed = true;
        return result;
    }
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else {
        result.crashed = true;
    }
    return result;
}

class ChildLauncher : public ProcessLauncher
{
public:
    using ProcessLauncher::startElevated;
    StartError startElevated(const QString& program, const QStringList& arguments, qint64* pid) override
    {
        if (pid)
            *pid = 0;
        const QFileInfo info(program);
        if (!info.absoluteDir().exists())
            return StartError::PathNotFound;
        if (!info.exists())
            return StartError::FileNotFound;
        const QByteArray path = QFile::encodeName(info.absoluteFilePath());
        if (!info.isFile() || ::access(path.constData(), X_OK) != 0)
            return StartError::AccessDenied;

        QList<QByteArray> words = {path};
        for (const QString& argument : arguments)
            words.append(argument.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        uid_t uid = 0;
        gid_t gid = 0;
        const int rc = seatUser(&uid, &gid) ? spawnAs(path, argv.data(), uid, gid, &child)
                                            : ::posix_spawn(&child, path.constData(), nullptr, nullptr, argv.data(),
                                                            environ);
        if (rc == EACCES)
            return StartError::AccessDenied;
        if (rc == ENOENT)
            return StartError::FileNotFound;
        if (rc != 0)
            return StartError::Other;
        if (pid)
            *pid = child;
        return StartError::None;
    }

    ProcessExit waitForExit(qint64 pid) override { return waitForChild(pid); }

    void release(qint64 pid) override
    {
        if (pid <= 0)
            return;
        // The reaper names no object: it may still be waiting when the process ends and the launcher, a
        // static, is destroyed. Detached on purpose, since a child that runs on cannot be joined at exit.
        std::thread([pid] { waitForChild(pid); }).detach();
    }
};

ChildLauncher& childLauncher()
{
    static ChildLauncher launcher;
    return launcher;
}

std::atomic<ProcessLauncher*>& installed()
{
    static std::atomic<ProcessLauncher*> launcher{nullptr};
    return launcher;
}

// The executable's base name of /proc/<pid>, or empty when it cannot be read (another user's process, a
// zombie, a kernel thread).
QString executableName(const QString& procEntry)
{
    QString target = QFile::symLinkTarget(procEntry + QStringLiteral("/exe"));
    if (target.isEmpty())
        return QString();
    const QString deleted = QStringLiteral(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return QFileInfo(target).fileName();
}

// The parent of pid as /proc/<pid>/stat gives it, or 0 when it cannot be read.
qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (name) state ppid ...": the name may hold spaces and parentheses, so the fields after it are
    // counted from its last ')'.
    const QByteArray line = stat.read(4096);
    const int nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(nameEnd + 1).simplified().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

// Whether pid is this process or one of its descendants.
bool isOwnDescendant(qint64 pid)
{
    const qint64 self = ::getpid();
    for (int depth = 0; depth < 64 && pid > 1; ++depth) {
        if (pid == self)
            return true;
        pid = parentOf(pid);
    }
    return false;
}

// Test runs see only their own programs by name: programs of the same user run side by side and would
// otherwise end each other's copies of a program.
bool confinedToOwnProcesses()
{
    static const bool confined = qEnvironmentVariableIsSet("CORVANE_TEST");
    return confined;
}

} // namespace

ProcessLauncher* processLauncher()
{
    ProcessLauncher* launcher = installed().load();
    return launcher ? launcher : &childLauncher();
}

void setProcessLauncher(ProcessLauncher* launcher)
{
    installed().store(launcher);
}

qint64 findProcessId(const QString& name)
{
    if (name.isEmpty())
        return 0;
    const uid_t me = ::getuid();
    const QDir proc(QStringLiteral("/proc"));
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    qint64 found = 0;
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid <= 0)
            continue;
        const QByteArray path = QFile::encodeName(proc.filePath(entry));
        struct stat st;
        if (::stat(path.constData(), &st) != 0 || st.st_uid != me)
            continue;
        if (executableName(proc.filePath(entry)) == name && (!confinedToOwnProcesses() || isOwnDescendant(pid))) {
            found = pid;
            break;
        }
    }
    return found;
}

namespace {

std::function<bool(qint64)>& killHook()
{
    static std::function<bool(qint64)> hook;
    return hook;
}

} // namespace

void setKillHook(std::function<bool(qint64 pid)> hook)
{
    killHook() = std::move(hook);
}

bool killProcess(qint64 pid)
{
    if (killHook())
        return killHook()(pid);
    if (pid <= 0 || pid == qint64(::getpid()))
        return false;
    return ::kill(pid_t(pid), SIGKILL) == 0;
}

} // namespace Platform
