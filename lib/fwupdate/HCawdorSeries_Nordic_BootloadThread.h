#pragma once

#include "platform/sys/PlatformTime.h"

#include <QThread>

// Watches the serial ports for the DFU bootloader of the mouse being updated: ten rounds, 500 ms apart. With
// a target product id it takes the port with that id; with 0, either of the two DFU bootloader ids.
//
// Threads: runs on its own; setters before start; stop() from any thread (the owner joins it afterwards).
class HCawdorSeries_Nordic_BootloadThread : public QThread
{
    Q_OBJECT
public:
    static constexpr int kRounds = 10;
    static constexpr int kIntervalMs = 500;

    explicit HCawdorSeries_Nordic_BootloadThread(QObject* parent = nullptr);
    ~HCawdorSeries_Nordic_BootloadThread() override;

    void setTargetPid(quint16 pid) { m_pid = pid; }
    quint16 targetPid() const { return m_pid; }
    // Ends a search in progress without a result.
    void stop();

signals:
    void sigResult(QString portName);

protected:
    void run() override;

private:
    quint16 m_vid;
    quint16 m_pid;
    Platform::InterruptibleSleep m_sleep;
};
