#include "platform/sys/PlatformTime.h"

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

} // namespace

void sleepMs(int ms)
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
    if (scaled >= 1.0)
        QThread::msleep(static_cast<unsigned long>(scaled));
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
