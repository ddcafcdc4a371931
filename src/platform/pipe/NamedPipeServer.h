#pragma once

#include <QString>

#include <atomic>

// The server end of a local message pipe through which an outside program reports to us: a SOCK_SEQPACKET
// Unix socket named after the pipe in the user's runtime folder ($XDG_RUNTIME_DIR), mode 0600, that accepts one
// peer of our own user; one packet is one message. Connecting and reading block until something arrives or
// stop() is called from another thread.
//
// Threads: one thread connects and reads; stop() may be called from any thread.
class NamedPipeServer
{
public:
    explicit NamedPipeServer(const QString& name);
    ~NamedPipeServer();
    NamedPipeServer(const NamedPipeServer&) = delete;
    NamedPipeServer& operator=(const NamedPipeServer&) = delete;

    // Creates the socket; false when it cannot be made or another server of this name is listening.
    bool create();
    bool isCreated() const { return m_listen >= 0; }
    QString path() const { return m_path; }

    // Waits for the peer; false when stopped, when creation had failed or on an error.
    bool connectPeer();
    // One message into buffer: its length (0 when the peer has gone), or -1 when the read failed, the message
    // did not fit, or the server was stopped.
    int read(quint8* buffer, int capacity);
    void disconnectPeer();
    void close();

    // Wakes connectPeer and read for good; they return failure.
    void stop();
    bool isStopped() const { return m_stopped.load(); }

    // The folder the pipes live in.
    static QString runtimeFolder();

private:
    // Waits until fd is readable or the server is stopped; false for the latter.
    bool waitReadable(int fd);

    QString m_name;
    QString m_path;
    int m_listen = -1;
    int m_peer = -1;
    int m_wake = -1;
    std::atomic<bool> m_stopped{false};
};
