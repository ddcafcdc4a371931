#pragma once

#include "hid/KInterruptReadLoop.h"

#include <QThread>

#include <atomic>

// The keyboard's reader of its own input reports (keys and light changes made on the device). It opens a
// channel of its own to the vendor interface, blocks in reads and hands each report to the owner's thread as
// a hex text for the log and as one character per byte. Destroying it stops and joins the thread.
class Quenby_8aInterruputRead : public QThread
{
    Q_OBJECT
public:
    static constexpr quint16 kUsage = 0x92;
    static constexpr quint16 kUsagePage = 0xFF01;

    explicit Quenby_8aInterruputRead(QObject* parent = nullptr);
    ~Quenby_8aInterruputRead() override;

    // Before start().
    void setPid(int pid);
    // Ends the thread from any state, waking a blocked read; returns once run() has returned.
    void stop();

signals:
    void postMsg(QString msg);
    void sigData(QString data);

protected:
    void run() override;

private:
    KInterruptReadLoop m_loop;
    // Written by whoever starts the thread, possibly while an earlier run still reads it.
    std::atomic<quint16> m_pid{0};
};
