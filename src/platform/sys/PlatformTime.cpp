#include "platform/sys/PlatformTime.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <atomic>

namespace Platform {
namespace {

double initialScale()
{
    return qEnvironmentVariableIsSet("CORVANE_TEST") ? 0.0 : 1.0;
}

std::atomic<double>& scaleRef()
{
    static std::atomic<double> scale{initialScale()};
    return scale;
}

struct SleepLog {
    QMutex mutex;
    QList<int> sleeps;
    bool recording = qEnvironmentVariableIsSet("CORVANE_TEST");
};

SleepLog& sleepLog()
{
    static SleepLog log;
    return log;
}

constexpr int kMaxRecordedSleeps = 100000;

struct FixedClock {
    QMutex mutex;
    QDateTime fixed;
};

FixedClock& fixedClock()
{
    static FixedClock clock;
    return clock;
}

// Records the request and returns how long to sleep for it, in milliseconds.
unsigned long recordSleep(int ms)
{
    if (ms < 0)
        ms = 0;
    {
        SleepLog& log = sleepLog();
        QMutexLocker lock(&log.mutex);
        if (log.recording && log.sleeps.size() < kMaxRecordedSleeps)
            log.sleeps.append(ms);
    }
    const double scaled = ms * scaleRef().load();
    return scaled >= 1.0 ? static_cast<unsigned long>(scaled) : 0;
}

} // namespace

QDateTime currentDateTime()
{
    FixedClock& clock = fixedClock();
    QMutexLocker lock(&clock.mutex);
    return clock.fixed.isValid() ? clock.fixed : QDateTime::currentDateTime();
}

void setCurrentDateTime(const QDateTime& fixed)
{
    FixedClock& clock = fixedClock();
    QMutexLocker lock(&clock.mutex);
    clock.fixed = fixed;
}

void sleepMs(int ms)
{
    if (const unsigned long scaled = recordSleep(ms))
        QThread::msleep(scaled);
}

bool InterruptibleSleep::sleepMs(int ms)
{
    QMutexLocker lock(&m_mutex);
    if (m_interrupted)
        return false;
    const unsigned long scaled = recordSleep(ms);
    if (scaled == 0)
        return true;
    const QDeadlineTimer deadline{static_cast<qint64>(scaled)};
    while (!m_interrupted) {
        if (!m_wake.wait(&m_mutex, deadline))
            break; // timed out (a spurious wake-up waits again for what is left)
    }
    return !m_interrupted;
}

void InterruptibleSleep::interrupt()
{
    QMutexLocker lock(&m_mutex);
    m_interrupted = true;
    m_wake.wakeAll();
}

bool InterruptibleSleep::isInterrupted() const
{
    QMutexLocker lock(&m_mutex);
    return m_interrupted;
}

qint64 monotonicMs()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

void setSleepScale(double scale)
{
    scaleRef().store(scale < 0.0 ? 0.0 : scale);
}

double sleepScale()
{
    return scaleRef().load();
}

QList<int> recordedSleeps()
{
    SleepLog& log = sleepLog();
    QMutexLocker lock(&log.mutex);
    return log.sleeps;
}

void setSleepRecording(bool on)
{
    SleepLog& log = sleepLog();
    QMutexLocker lock(&log.mutex);
    log.recording = on;
}

void clearRecordedSleeps()
{
    SleepLog& log = sleepLog();
    QMutexLocker lock(&log.mutex);
    log.sleeps.clear();
}

} // namespace Platform
