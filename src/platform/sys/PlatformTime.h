#pragma once

#include <QtGlobal>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QWaitCondition>

// Every protocol wait of the program goes through here instead of calling a sleep directly.
// Tests scale the waits to zero and read back what was asked for, so retry paths cost no time and their
// timing can still be asserted.
namespace Platform {

// Sleeps ms milliseconds times the current scale on the calling thread, and records the request.
void sleepMs(int ms);

// Milliseconds of a monotonic clock.
qint64 monotonicMs();

// The local date and time. Tests may fix it (setCurrentDateTime); an invalid value puts the real clock back.
QDateTime currentDateTime();
void setCurrentDateTime(const QDateTime& fixed);

// 1.0 in the program; 0.0 in tests (CORVANE_TEST set in the environment gives 0.0 at start).
void setSleepScale(double scale);
double sleepScale();

// Recording is on in tests (CORVANE_TEST) and off in the program unless switched on.
void setSleepRecording(bool on);

// The sleeps requested since the last clear, in the order they were asked for (all threads).
QList<int> recordedSleeps();
void clearRecordedSleeps();

// A sleep that another thread can cut short for good: threads that pause between device reads or polls
// sleep on it, so that asking them to stop never waits for a pause to run out. Scaled and recorded like
// sleepMs.
class InterruptibleSleep
{
public:
    InterruptibleSleep() = default;
    InterruptibleSleep(const InterruptibleSleep&) = delete;
    InterruptibleSleep& operator=(const InterruptibleSleep&) = delete;

    // Sleeps ms milliseconds times the scale; false when interrupted before or during the sleep.
    bool sleepMs(int ms);
    // Any thread. Wakes a sleep in progress; every later sleep returns false at once.
    void interrupt();
    bool isInterrupted() const;

private:
    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_interrupted = false;
};

} // namespace Platform
