#include "LogCapture.h"

#include <QThread>

#include <mutex>

namespace {
// The capture in place and the lock every handler call holds while it writes to it: a reader thread may log
// while the test's capture goes away, and must then find none rather than one being destroyed.
std::mutex g_captureLock;
LogCapture* g_capture = nullptr;
}

LogCapture::LogCapture()
{
    {
        std::lock_guard<std::mutex> lock(g_captureLock);
        m_outer = g_capture;
        g_capture = this;
    }
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    std::lock_guard<std::mutex> lock(g_captureLock);
    g_capture = m_outer;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QtMessageHandler previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_captureLock);
        LogCapture* self = g_capture;
        if (!self)
            return;
        QMutexLocker own(&self->m_mutex);
        self->m_lines.append(message);
        self->m_threads.append(QThread::currentThread());
        if (type != QtDebugMsg && type != QtInfoMsg)
            self->m_warnings.append(message);
        if (type == QtFatalMsg)
            previous = self->m_previous;
    }
    if (previous)
        previous(type, context, message);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

QStringList LogCapture::warnings() const
{
    QMutexLocker lock(&m_mutex);
    return m_warnings;
}

bool LogCapture::contains(const QString& text) const
{
    return count(text) > 0;
}

int LogCapture::count(const QString& text) const
{
    QMutexLocker lock(&m_mutex);
    int n = 0;
    for (const QString& line : m_lines) {
        if (line.contains(text))
            ++n;
    }
    return n;
}

QList<const void*> LogCapture::threadsOf(const QString& text) const
{
    QMutexLocker lock(&m_mutex);
    QList<const void*> threads;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).contains(text))
            threads.append(m_threads.at(i));
    }
    return threads;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lines.clear();
    m_threads.clear();
    m_warnings.clear();
}
