#pragma once

#include "firmware/DfuPortThread.h"

// Watches the serial ports for the DFU bootloader of the mouse being updated: ten rounds, 500 ms apart. With
// a target product id it takes the port with that id; with 0, either of the two DFU bootloader ids.
//
// Threads: runs on its own; setters before start; stop() from any thread (the owner joins it afterwards).
class HCawdorSeries_Nordic_BootloadThread : public DfuPortThread
{
    Q_OBJECT
public:
    static constexpr int kRounds = 10;
    static constexpr int kIntervalMs = 500;

    explicit HCawdorSeries_Nordic_BootloadThread(QObject* parent = nullptr);

    void setTargetPid(quint16 pid) { m_pid = pid; }
    quint16 targetPid() const { return m_pid; }

protected:
    void run() override;
    QList<quint16> targets() const override;
    void found(const QString& portName) override;

private:
    quint16 m_pid;
};
