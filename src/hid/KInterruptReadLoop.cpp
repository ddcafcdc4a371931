#include "hid/KInterruptReadLoop.h"

#include "hid/khid/KHidFunctions.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>
#include <QThread>

#include <cstring>

KInterruptReadLoop::KInterruptReadLoop(Emit postMsg, Emit sigData)
    : m_postMsg(std::move(postMsg)), m_sigData(std::move(sigData))
{
}

KInterruptReadLoop::~KInterruptReadLoop()
{
    delete m_channel;
}

void KInterruptReadLoop::requestStop()
{
    m_stop.store(true);
    m_sleep.interrupt();
    QMutexLocker lock(&m_lock);
    if (m_channel && m_channel->isOpened())
        KHID::cancelHandleIo(m_channel->readHandle());
}

// A cancel wakes only the reads already blocked; one that lands between the loop's check and its next read
// is missed, so the stop is repeated until the thread has ended.
void KInterruptReadLoop::stopAndJoin(QThread& thread)
{
    requestStop();
    if (QThread::currentThread() == &thread)
        return;
    while (!thread.wait(kStopRetryMs))
        requestStop();
}

KHID::KUSBDevice* KInterruptReadLoop::renewChannel()
{
    KHID::KUSBDevice* previous = nullptr;
    {
        QMutexLocker lock(&m_lock);
        previous = m_channel;
        m_channel = new KHID::KUSBDevice();
    }
    delete previous;
    return m_channel;
}

bool KInterruptReadLoop::open(const std::function<bool(KHID::KUSBDevice*)>& attempt)
{
    bool opened = false;
    for (int retry = 0;; ++retry) {
        if (m_stop.load())
            return false;
        {
            QMutexLocker lock(&m_lock);
            opened = m_channel && attempt(m_channel);
        }
        if (opened || retry >= kOpenRetries)
            break;
        pause(kOpenRetryPauseMs);
        qDebug() << "[ERROR] init fail retry" << retry;
    }
    if (m_stop.load())
        return false;
    if (!opened) {
        m_postMsg(QStringLiteral("Device pull out"));
        return false;
    }
    if (m_channel->readHandle() == KHID::INVALID_HANDLE_VALUE) {
        m_postMsg(QStringLiteral("[error] devHandle == INVALID_HANDLE_VALUE"));
        return false;
    }
    m_postMsg(QStringLiteral("open device"));
    return true;
}

void KInterruptReadLoop::readLoop(int firstByte, bool logEachRead)
{
    KHID::BYTE buffer[kReportSize];
    int failures = 0; // over the thread's life, not in a row
    while (!m_stop.load()) {
        std::memset(buffer, 0, sizeof buffer);
        if (firstByte >= 0)
            buffer[0] = static_cast<KHID::BYTE>(firstByte);
        KHID::DWORD count = 0;
        const bool ok = m_channel->readData(buffer, kReportSize, &count);
        if (m_stop.load())
            break;
        pause(kReadPauseMs);
        if (logEachRead)
            qDebug() << "[Info] read data:" << ok;
        if (ok) {
            const int length = int(qMin<KHID::DWORD>(count, kReportSize));
            m_postMsg(hexText(buffer, length));
            m_sigData(byteText(buffer, length));
        } else {
            m_postMsg(QStringLiteral("[error] readfile"));
            if (++failures >= kMaxReadFailures)
                break;
        }
    }
}

void KInterruptReadLoop::pause(int ms)
{
    m_sleep.sleepMs(ms);
}

QString KInterruptReadLoop::hexText(const KHID::BYTE* bytes, int length)
{
    QString text;
    text.reserve(length * 3);
    for (int i = 0; i < length; ++i) {
        text += QString::number(bytes[i], 16);
        text += QLatin1Char(' ');
    }
    return text;
}

QString KInterruptReadLoop::byteText(const KHID::BYTE* bytes, int length)
{
    QString text(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        text[i] = QChar(ushort(bytes[i]));
    return text;
}
