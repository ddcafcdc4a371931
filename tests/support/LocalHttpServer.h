#pragma once

#include "TestWait.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A small HTTP/1.1 server for tests: listens on 127.0.0.1 with a port the system picks, answers each request
// by the reply scripted for its path (status, headers, body, a delay, silence, an answer held back until the test
// releases it, or a close in the middle of the
// body, an endless body, a body that trickles) and records every request it reads. Requests are read with bounds (head and body sizes); a request over
// them is answered 413 and recorded as oversize. Unscripted paths get 404 with an empty body.
//
// Threads: lives on the test's thread; everything arrives through its event loop.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Reply
    {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers; // sent with their spelling
        QByteArray body;
        int delayMs = 0;         // wait before answering
        bool silent = false;     // never answer (the connection stays open)
        int closeAfterBytes = -1; // >= 0: send the head and that many body bytes, then close
        bool endless = false;     // a chunked body that never ends, sent as fast as the peer reads it
        int trickleMs = 0;        // > 0: the body one byte at a time, this far apart
        bool held = false;        // kept back until releaseHeld(): a reply as late as the test wants
    };
    struct Part
    {
        QByteArray head; // the part's header lines as sent, without the blank line that ends them
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };
    struct Request
    {
        QByteArray method;
        QByteArray path; // with the query, as sent
        QList<QPair<QByteArray, QByteArray>> headers; // as sent, in order
        QByteArray body;
        QList<Part> parts; // multipart bodies, split
        bool oversize = false;

        // Case-insensitive; empty when absent.
        QByteArray header(const QByteArray& name) const;
        bool hasHeader(const QByteArray& name) const;
    };

    static constexpr int kMaxHead = 64 * 1024;
    static constexpr int kMaxBody = 8 * 1024 * 1024;

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    quint16 port() const;
    // "http://127.0.0.1:<port>"
    QString baseUrl() const;
    QString url(const QString& path) const { return baseUrl() + path; }

    void script(const QByteArray& path, const Reply& reply);
    // Replies for successive requests to path, in order; the last one answers every later request.
    void scriptSequence(const QByteArray& path, const QList<Reply>& replies);
    // A JSON reply with status 200.
    static Reply jsonReply(const QByteArray& json, const QList<QPair<QByteArray, QByteArray>>& headers = {});
    void scriptJson(const QByteArray& path, const QByteArray& json,
                    const QList<QPair<QByteArray, QByteArray>>& headers = {});

    const QList<Request>& requests() const { return m_requests; }
    // Waits (event loop) until count requests were recorded; false after timeoutMs.
    bool waitForRequests(int count, int timeoutMs = TestWait::kBoundMs);
    // Sends every held reply whose connection is still open, whole and at once; returns how many went.
    int releaseHeld();

signals:
    void requestRecorded();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Request& request);
    static void sendReply(QTcpSocket* socket, const Reply& reply);
    void sendEndless(QTcpSocket* socket, const Reply& reply);
    void sendTrickle(QTcpSocket* socket, const Reply& reply);
    static QList<Part> splitMultipart(const QByteArray& contentType, const QByteArray& body);

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    QHash<QByteArray, QList<Reply>> m_sequences;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<Request> m_requests;
    QList<QPair<QPointer<QTcpSocket>, Reply>> m_held;
};
