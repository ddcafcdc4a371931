#pragma once

#include <QMutex>
#include <QStringList>

// Collects every log line of the process (all threads) while it lives, so tests can assert the lines a Part
// names. Lines are kept as the message handler receives them (qDebug's spacing and quoting included).
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    // The lines logged as warnings or worse (QML reports its faults so).
    QStringList warnings() const;
    // True when some line contains text.
    bool contains(const QString& text) const;
    int count(const QString& text) const;
    // The threads that logged the lines containing text, in order (as QThread::currentThread() gave them).
    QList<const void*> threadsOf(const QString& text) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    mutable QMutex m_mutex;
    QStringList m_lines;
    QList<const void*> m_threads;
    QStringList m_warnings;
    QtMessageHandler m_previous = nullptr;
    LogCapture* m_outer = nullptr; // the capture this one stands in for while it lives
};
