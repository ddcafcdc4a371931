#include "platform/instance/SingleInstance.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

namespace {

// A message is a 32-bit big-endian byte count and that many bytes of UTF-8.
constexpr int kHeaderBytes = 4;
// A peer that connects and sends nothing is dropped after this long.
constexpr int kPeerTimeoutMs = 5000;

QString instanceName(const QString& key)
{
    // Per user: two users of one machine each run their own copy.
    QString safe = key;
    for (QChar& c : safe) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('_') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return safe + QLatin1Char('-') + QString::number(::getuid());
}

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_key(key), m_socketName(instanceName(key))
{
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_socketName + QStringLiteral(".lock")));
    // A lock whose process is gone is stale at once; a live holder's lock never is.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_running = m_lock->error() == QLockFile::LockFailedError;
        if (!m_running)
            qWarning() << "single instance: the lock file cannot be written; running without the check";
        return;
    }
    // The lock is ours, so a socket of that name is a leftover of a copy that died.
    QLocalServer::removeServer(m_socketName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketName)) {
        qWarning() << "single instance: cannot listen:" << m_server->errorString();
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The time limit goes with the socket: a peer that hands its message over and leaves leaves no timer.
        auto* limit = new QTimer(socket);
        limit->setSingleShot(true);
        connect(limit, &QTimer::timeout, socket, &QLocalSocket::abort);
        limit->start(kPeerTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() < kHeaderBytes)
                return;
            QByteArray header = socket->peek(kHeaderBytes);
            QDataStream in(header);
            quint32 length = 0;
            in >> length;
            if (length > quint32(kMaxMessageBytes)) {
                socket->abort();
                return;
            }
            if (socket->bytesAvailable() < kHeaderBytes + qint64(length))
                return;
            socket->read(kHeaderBytes);
            const QString message = QString::fromUtf8(socket->read(length));
            socket->disconnectFromServer();
            emit messageReceived(message);
        });
    }
}

bool SingleInstance::sendMessage(const QString& message, int timeoutMs) const
{
    const QByteArray text = message.toUtf8().left(kMaxMessageBytes);
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray packet;
    QDataStream out(&packet, QIODevice::WriteOnly);
    out << quint32(text.size());
    packet.append(text);
    socket.write(packet);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}
