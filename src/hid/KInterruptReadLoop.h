#pragma once

#include "platform/hid/HidTypes.h"
#include "platform/sys/PlatformTime.h"

#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

namespace KHID {
class KUSBDevice;
}

// What the interrupt-read threads share: their own channel, the open-with-retry rule, the read loop and a
// stop that wakes a blocked read or pause at once. Owned by the thread object; the channel is freed with it,
// after the thread has been joined.
class KInterruptReadLoop
{
public:
    using Emit = std::function<void(const QString&)>;

    static constexpr int kReportSize = 128;
    static constexpr int kOpenRetries = 5;
    static constexpr int kOpenRetryPauseMs = 1000;
    static constexpr int kReadPauseMs = 100;
    static constexpr int kMaxReadFailures = 4;
    static constexpr unsigned long kStopRetryMs = 50;

    KInterruptReadLoop(Emit postMsg, Emit sigData);
    ~KInterruptReadLoop();
    KInterruptReadLoop(const KInterruptReadLoop&) = delete;
    KInterruptReadLoop& operator=(const KInterruptReadLoop&) = delete;

    // Any thread. Once asked to stop, the loop stays stopped: a stopped reader is only destroyed.
    void requestStop();
    bool stopRequested() const { return m_stop.load(); }
    // The owner's thread: stops the loop and returns once thread (the one running the loop) has ended.
    // From the reader thread itself it only asks the loop to stop.
    void stopAndJoin(QThread& thread);

    // Reader thread: drops the previous channel and makes a fresh one.
    KHID::KUSBDevice* renewChannel();
    // Reader thread: up to kOpenRetries + 1 attempts, kOpenRetryPauseMs apart; then reports the outcome
    // ("Device pull out", the invalid handle, or "open device"). True when reading can start.
    bool open(const std::function<bool(KHID::KUSBDevice*)>& attempt);
    // Reader thread: reads until the kMaxReadFailures-th failure or a stop. firstByte >= 0 is written to
    // byte 0 of the cleared buffer before each read.
    void readLoop(int firstByte, bool logEachRead);
    // Reader thread: a protocol pause that a stop cuts short.
    void pause(int ms);

    // One report as the two signal texts: hex bytes each followed by a blank, and one character per byte.
    static QString hexText(const KHID::BYTE* bytes, int length);
    static QString byteText(const KHID::BYTE* bytes, int length);

private:
    Emit m_postMsg;
    Emit m_sigData;
    std::atomic<bool> m_stop{false};
    QMutex m_lock; // guards the channel pointer and the channel's handles against requestStop
    Platform::InterruptibleSleep m_sleep;
    KHID::KUSBDevice* m_channel = nullptr;
};
