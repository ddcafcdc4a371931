#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One running copy of the program per user and key. The first object of a key takes a lock file and listens on
// a local socket of the same name; a later one (in this process or another) finds the lock taken and can hand
// a short text message to the first, which announces it with messageReceived. A lock left by a process that
// died is taken over.
//
// Threads: GUI thread only (the server's socket is read there).
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // Longest message accepted from a peer; anything longer is dropped with the connection.
    static constexpr int kMaxMessageBytes = 4096;

    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another object holds the key (this one then does not listen).
    bool isRunning() const { return m_running; }

    // Hands message to the running copy; false when none answers within timeoutMs.
    bool sendMessage(const QString& message, int timeoutMs) const;

    QString key() const { return m_key; }

signals:
    void messageReceived(const QString& message);

private:
    void acceptConnections();

    QString m_key;
    QString m_socketName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_running = false;
};
