#include "LogCapture.h"

#include <atomic>

namespace {
std::atomic<LogCapture*> g_capture{nullptr};
}

LogCapture::LogCapture()
{
    g_capture.store(this);
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    g_capture.store(nullptr);
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (LogCapture* self = g_capture.load()) {
        QMutexLocker lock(&self->m_mutex);
        self->m_lines.append(message);
        if (type != QtDebugMsg && type != QtInfoMsg)
            self->m_warnings.append(message);
        if (type == QtFatalMsg && self->m_previous)
            self->m_previous(type, context, message);
    }
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

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lines.clear();
    m_warnings.clear();
}
