#include "platform/pipe/NamedPipeServer.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool makeAddress(const QString& path, sockaddr_un* address)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (encoded.size() >= int(sizeof address->sun_path))
        return false;
    std::memcpy(address->sun_path, encoded.constData(), size_t(encoded.size()));
    return true;
}

// Whether a server is listening at the address right now.
bool someoneListens(const sockaddr_un& address)
{
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    const bool listening = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return listening;
}

} // namespace

NamedPipeServer::NamedPipeServer(const QString& name)
    : m_name(name)
{
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

NamedPipeServer::~NamedPipeServer()
{
    close();
    if (m_wake >= 0)
        ::close(m_wake);
}

QString NamedPipeServer::runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : runtime;
}

bool NamedPipeServer::create()
{
    if (m_listen >= 0)
        return true;
    const QString folder = runtimeFolder();
    if (folder.isEmpty() || m_name.isEmpty() || m_name.contains(QLatin1Char('/')))
        return false;
    m_path = QDir(folder).filePath(m_name);
    sockaddr_un address;
    if (!makeAddress(m_path, &address))
        return false;
    if (someoneListens(address))
        return false;
    // A socket left by a run that ended without cleaning up; anything else under the name stays.
    struct stat st;
    const QByteArray encoded = QFile::encodeName(m_path);
    if (::lstat(encoded.constData(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid())
            return false;
        ::unlink(encoded.constData());
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const mode_t previous = ::umask(0177);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(previous);
    if (!bound || ::chmod(encoded.constData(), 0600) != 0 || ::listen(fd, 1) != 0) {
        ::close(fd);
        if (bound)
            ::unlink(encoded.constData());
        return false;
    }
    m_listen = fd;
    return true;
}

bool NamedPipeServer::waitReadable(int fd)
{
    for (;;) {
        if (m_stopped.load())
            return false;
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake, POLLIN, 0}};
        const int n = ::poll(fds, m_wake >= 0 ? 2 : 1, m_wake >= 0 ? -1 : 100);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (m_stopped.load())
            return false;
        if (fds[0].revents)
            return true;
    }
}

bool NamedPipeServer::connectPeer()
{
    if (m_listen < 0)
        return false;
    while (waitReadable(m_listen)) {
        const int peer = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == ECONNABORTED)
                continue;
            return false;
        }
        ucred credentials;
        socklen_t length = sizeof credentials;
        if (::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0
            || credentials.uid != ::getuid()) {
            ::close(peer);
            continue;
        }
        m_peer = peer;
        return true;
    }
    return false;
}

int NamedPipeServer::read(quint8* buffer, int capacity)
{
    if (m_peer < 0 || !buffer || capacity <= 0 || !waitReadable(m_peer))
        return -1;
    ssize_t n;
    do {
        n = ::recv(m_peer, buffer, size_t(capacity), MSG_TRUNC);
    } while (n < 0 && errno == EINTR);
    if (n < 0 || n > capacity)
        return -1;
    return int(n);
}

void NamedPipeServer::disconnectPeer()
{
    if (m_peer >= 0)
        ::close(m_peer);
    m_peer = -1;
}

void NamedPipeServer::close()
{
    disconnectPeer();
    if (m_listen >= 0) {
        ::close(m_listen);
        ::unlink(QFile::encodeName(m_path).constData());
    }
    m_listen = -1;
}

void NamedPipeServer::stop()
{
    m_stopped.store(true);
    if (m_wake >= 0) {
        const quint64 one = 1;
        (void)!::write(m_wake, &one, sizeof one);
    }
}
