#include "LocalHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {
QByteArray reasonOf(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 413: return "Payload Too Large";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}
// The status line, the scripted headers and the framing header, up to the blank line.
QByteArray headOf(const LocalHttpServer::Reply& reply, const QByteArray& framing)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonOf(reply.status) + "\r\n";
    for (const auto& h : reply.headers)
        head += h.first + ": " + h.second + "\r\n";
    return head + framing + "\r\n\r\n";
}

} // namespace

QByteArray LocalHttpServer::Request::header(const QByteArray& name) const
{
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return QByteArray();
}

bool LocalHttpServer::Request::hasHeader(const QByteArray& name) const
{
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

LocalHttpServer::LocalHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

LocalHttpServer::~LocalHttpServer() = default;

quint16 LocalHttpServer::port() const { return m_server.serverPort(); }

QString LocalHttpServer::baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }

void LocalHttpServer::script(const QByteArray& path, const Reply& reply) { m_replies.insert(path, reply); }

void LocalHttpServer::scriptSequence(const QByteArray& path, const QList<Reply>& replies)
{
    m_sequences.insert(path, replies);
}

LocalHttpServer::Reply LocalHttpServer::jsonReply(const QByteArray& json,
                                                  const QList<QPair<QByteArray, QByteArray>>& headers)
{
    Reply reply;
    reply.headers = headers;
    reply.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
    reply.body = json;
    return reply;
}

void LocalHttpServer::scriptJson(const QByteArray& path, const QByteArray& json,
                                 const QList<QPair<QByteArray, QByteArray>>& headers)
{
    script(path, jsonReply(json, headers));
}

bool LocalHttpServer::waitForRequests(int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (m_requests.size() < count && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    return m_requests.size() >= count;
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void LocalHttpServer::onReadyRead(QTcpSocket* socket)
{
    {
        QByteArray& buffer = m_buffers[socket];
        // Read no more than one bounded request can hold.
        const qint64 room = qint64(kMaxHead) + kMaxBody + 1 - buffer.size();
        if (room > 0)
            buffer += socket->read(room);
    }
    // An answer may close the connection, and its buffer goes with it: looked up afresh for every request.
    while (m_buffers.contains(socket)) {
        QByteArray& buffer = m_buffers[socket];
        const int headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            if (buffer.size() > kMaxHead) {
                Request request;
                request.oversize = true;
                m_requests.append(request);
                emit requestRecorded();
                Reply tooLarge;
                tooLarge.status = 413;
                sendReply(socket, tooLarge);
                socket->disconnectFromHost();
            }
            return;
        }
        Request request;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        qint64 length = 0;
        for (int i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const int colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon).trimmed();
            const QByteArray value = line.mid(colon + 1).trimmed();
            request.headers.append(qMakePair(name, value));
            if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
                length = value.toLongLong();
        }
        if (length < 0 || length > kMaxBody) {
            request.oversize = true;
            m_requests.append(request);
            emit requestRecorded();
            Reply tooLarge;
            tooLarge.status = 413;
            sendReply(socket, tooLarge);
            socket->disconnectFromHost();
            return;
        }
        if (buffer.size() < headEnd + 4 + length)
            return; // wait for the rest of the body
        request.body = buffer.mid(headEnd + 4, int(length));
        buffer.remove(0, headEnd + 4 + int(length));
        request.parts = splitMultipart(request.header("Content-Type"), request.body);
        m_requests.append(request);
        emit requestRecorded();
        answer(socket, request);
        // A reply that closes the connection may have dropped the socket's buffer already.
        if (!m_buffers.contains(socket))
            return;
    }
}

void LocalHttpServer::answer(QTcpSocket* socket, const Request& request)
{
    QByteArray path = request.path;
    const int query = path.indexOf('?');
    Reply reply;
    const QByteArray bare = query >= 0 ? path.left(query) : path;
    QList<Reply>* sequence = m_sequences.contains(path) ? &m_sequences[path]
                             : m_sequences.contains(bare) ? &m_sequences[bare]
                                                          : nullptr;
    if (sequence && !sequence->isEmpty())
        reply = sequence->size() > 1 ? sequence->takeFirst() : sequence->first();
    else if (m_replies.contains(path))
        reply = m_replies.value(path);
    else if (query >= 0 && m_replies.contains(path.left(query)))
        reply = m_replies.value(path.left(query));
    else
        reply.status = 404;
    if (reply.silent)
        return;
    if (reply.held) {
        m_held.append({QPointer<QTcpSocket>(socket), reply});
        return;
    }
    if (reply.endless) {
        sendEndless(socket, reply);
        return;
    }
    if (reply.trickleMs > 0) {
        sendTrickle(socket, reply);
        return;
    }
    if (reply.delayMs > 0) {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(reply.delayMs, this, [guard, reply] {
            if (guard && guard->state() == QAbstractSocket::ConnectedState)
                sendReply(guard, reply);
        });
        return;
    }
    sendReply(socket, reply);
}

int LocalHttpServer::releaseHeld()
{
    int sent = 0;
    for (const auto& held : qAsConst(m_held)) {
        if (held.first && held.first->state() == QAbstractSocket::ConnectedState) {
            sendReply(held.first, held.second);
            ++sent;
        }
    }
    m_held.clear();
    return sent;
}

void LocalHttpServer::sendReply(QTcpSocket* socket, const Reply& reply)
{
    socket->write(headOf(reply, "Content-Length: " + QByteArray::number(reply.body.size())));
    if (reply.closeAfterBytes >= 0) {
        socket->write(reply.body.left(reply.closeAfterBytes));
        socket->flush();
        socket->disconnectFromHost();
        return;
    }
    socket->write(reply.body);
}

void LocalHttpServer::sendEndless(QTcpSocket* socket, const Reply& reply)
{
    socket->write(headOf(reply, "Transfer-Encoding: chunked"));
    // Topped up as the peer reads: never much more than a few chunks wait in the socket.
    static const QByteArray chunk = [] {
        const QByteArray data(16 * 1024, 'x');
        return QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n";
    }();
    QPointer<QTcpSocket> guard(socket);
    auto topUp = [guard] {
        while (guard && guard->state() == QAbstractSocket::ConnectedState && guard->bytesToWrite() < 4 * chunk.size())
            guard->write(chunk);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
    topUp();
}

void LocalHttpServer::sendTrickle(QTcpSocket* socket, const Reply& reply)
{
    socket->write(headOf(reply, "Content-Length: " + QByteArray::number(reply.body.size())));
    auto* timer = new QTimer(socket);
    auto sent = std::make_shared<int>(0);
    const QByteArray body = reply.body;
    connect(timer, &QTimer::timeout, socket, [socket, timer, sent, body] {
        if (*sent >= body.size()) {
            timer->stop();
            return;
        }
        socket->write(body.mid((*sent)++, 1));
    });
    timer->start(reply.trickleMs);
}

QList<LocalHttpServer::Part> LocalHttpServer::splitMultipart(const QByteArray& contentType, const QByteArray& body)
{
    QList<Part> parts;
    const int at = contentType.indexOf("boundary=");
    if (!contentType.startsWith("multipart/") || at < 0)
        return parts;
    QByteArray boundary = contentType.mid(at + 9);
    if (boundary.startsWith('"'))
        boundary = boundary.mid(1, boundary.indexOf('"', 1) - 1);
    const QByteArray delimiter = "--" + boundary;
    int pos = body.indexOf(delimiter);
    while (pos >= 0) {
        pos += delimiter.size();
        if (body.mid(pos, 2) == "--")
            break;
        const int next = body.indexOf("\r\n" + delimiter, pos);
        if (next < 0)
            break;
        const QByteArray chunk = body.mid(pos + 2, next - pos - 2); // past the line break after the delimiter
        Part part;
        if (chunk.startsWith("\r\n")) {
            part.body = chunk.mid(2); // a part without header lines
        } else if (const int headEnd = chunk.indexOf("\r\n\r\n"); headEnd >= 0) {
            part.head = chunk.left(headEnd);
            for (const QByteArray& line : chunk.left(headEnd).split('\n')) {
                const int colon = line.indexOf(':');
                if (colon > 0)
                    part.headers.append(qMakePair(line.left(colon).trimmed(), line.mid(colon + 1).trimmed()));
            }
            part.body = chunk.mid(headEnd + 4);
        }
        parts.append(part);
        pos = next + 2;
    }
    return parts;
}
