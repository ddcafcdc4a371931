#pragma once

#include "hid/KInterruptReadLoop.h"

#include <QThread>

#include <atomic>

// The mouse families' reader of their own input reports. By product id it either asks its owner every ten
// seconds to read the battery, reads the receiver's interface, or reads the fifth collection of the mouse.
// Destroying it stops and joins the thread.
class FarrantInterruputRead : public QThread
{
    Q_OBJECT
public:
    static constexpr int kBatteryPollMs = 10000;

    explicit FarrantInterruputRead(QObject* parent = nullptr);
    ~FarrantInterruputRead() override;

    // Before start().
    void setPid(int pid);
    // Ends the thread from any state, waking a blocked read or the battery pause; returns once run() has
    // returned.
    void stop();

    static bool isBatteryPollModel(quint16 pid);
    static bool isReceiverModel(quint16 pid);

signals:
    void postMsg(QString msg);
    void sigData(QString data);

protected:
    void run() override;

private:
    void pollBattery();

    KInterruptReadLoop m_loop;
    // Written by whoever starts the thread, possibly while an earlier run still reads it.
    std::atomic<quint16> m_pid{0};
};
