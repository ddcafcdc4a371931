#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QIODevice;
class QNetworkReply;
class QTimer;

// Watches one network reply from its start to its one end, so that no server can make a transfer grow or last
// without bound. The body is read as it arrives (Qt's own buffer is held to kReadBuffer): into memory, into a
// sink (a file being written), or counted and dropped. The transfer is aborted and ends as failed when the body
// passes the cap, when the whole transfer passes its deadline, or when a window of time brings fewer bytes than
// the progress floor (silence included). An answer that is not HTTP 2xx is a failure too, whatever its body.
// finished() is emitted exactly once, after the last byte was taken; the guard belongs to its reply and goes
// with it.
//
// The limits are chosen per kind of request; test runs may shorten them (overrideLimits, or CORVANE_TEST with
// CORVANE_TRANSFER_LIMITS="deadlineMs,windowMs" for a program started by a test).
//
// Threads: the reply's thread.
class ReplyGuard : public QObject
{
    Q_OBJECT
public:
    enum class Kind { Api, Analytics, Archive, Firmware, Installer };

    struct Limits {
        qint64 maxBytes = 0;   // the body's cap; more is never held or written
        int deadlineMs = 0;    // the whole transfer; 0: the owner keeps a deadline of its own
        int windowMs = 0;      // the progress floor's window; 0: none
        qint64 floorBytes = 1; // bytes each window must bring
    };

    enum class Failure { None, Transport, HttpStatus, TooLarge, Deadline, TooSlow, WriteFailed };

    // What Qt may hold of a reply before the guard takes it.
    static constexpr qint64 kReadBuffer = 64 * 1024;

    // The limits for a kind: the built-in ones, or what a test set.
    static Limits limits(Kind kind);
    static Limits defaults(Kind kind);
    // Tests: replaces a kind's limits in this process; resetLimits() puts every kind back.
    static void overrideLimits(Kind kind, const Limits& limits);
    static void resetLimits();

    // Watches reply (which must not have run its event loop yet). Without a sink the body is kept in memory,
    // unless discard is set. The sink's writes that fail end the transfer as WriteFailed.
    static ReplyGuard* watch(QNetworkReply* reply, const Limits& limits, QIODevice* sink = nullptr,
                             bool discard = false);

    bool isDone() const { return m_done; }
    bool succeeded() const { return m_done && m_failure == Failure::None; }
    Failure failure() const { return m_failure; }
    int httpStatus() const { return m_status; }
    // The body kept in memory (empty with a sink or when discarded).
    const QByteArray& body() const { return m_body; }
    QByteArray takeBody();
    // The first kHeadBytes of the body, whichever way it went (to tell a page from a file).
    const QByteArray& head() const { return m_head; }
    static constexpr int kHeadBytes = 64;
    qint64 received() const { return m_received; }
    // The most bytes of this reply held in memory at once, Qt's buffer included (tests).
    qint64 peakHeld() const { return m_peakHeld; }
    // The most bytes any reply of this process held in memory at once since the last reset (tests).
    static qint64 highestHeld();
    static void resetHighestHeld();
    // For the log.
    QString describe() const;
    static QString describe(Failure failure);

signals:
    void finished();

private:
    ReplyGuard(QNetworkReply* reply, const Limits& limits, QIODevice* sink, bool discard);
    void readAvailable();
    void onWindow();
    void stop(Failure why);
    void onFinished();
    void noteHeld(qint64 held);

    QPointer<QNetworkReply> m_reply;
    Limits m_limits;
    QPointer<QIODevice> m_sink;
    bool m_discard = false;
    QByteArray m_body;
    QByteArray m_head;
    qint64 m_received = 0;
    qint64 m_receivedAtWindow = 0;
    qint64 m_peakHeld = 0;
    QTimer* m_deadline = nullptr;
    QTimer* m_window = nullptr;
    Failure m_failure = Failure::None;
    int m_status = 0;
    bool m_done = false;
};
