#pragma once

#include "hid/KInterruptReadLoop.h"

#include <QThread>

#include <atomic>

// The thread shell the interrupt readers share: the product id to open, the read loop that emits the two
// texts, and a cooperative stop. A reader derives from it and implements run(); its destructor must call
// stop() itself, since run() belongs to the derived part.
class KInterruptReadThread : public QThread
{
    Q_OBJECT
public:
    ~KInterruptReadThread() override;

    // Before start().
    void setPid(int pid);
    // Ends the thread from any state, waking a blocked read or pause; returns once run() has returned.
    void stop();

signals:
    void postMsg(QString msg);
    void sigData(QString data);

protected:
    explicit KInterruptReadThread(QObject* parent = nullptr);

    quint16 pid() const { return m_pid.load(); }
    KInterruptReadLoop& loop() { return m_loop; }

private:
    KInterruptReadLoop m_loop;
    // Written by whoever starts the thread, possibly while an earlier run still reads it.
    std::atomic<quint16> m_pid{0};
};
