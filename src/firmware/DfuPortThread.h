#pragma once

#include "platform/sys/PlatformTime.h"

#include <QList>
#include <QThread>

// A thread that watches the serial ports for a DFU bootloader (DfuPortSearch) and reports the port's name, or
// an empty text when none showed up. Asked to stop, it ends without a report; it is joined before it goes.
//
// Threads: runs on its own; setters before start; stop() from any thread.
class DfuPortThread : public QThread
{
    Q_OBJECT
public:
    explicit DfuPortThread(quint16 vendorId, QObject* parent = nullptr);
    ~DfuPortThread() override;

    void stop();

signals:
    void sigResult(QString portName);

protected:
    void run() override;
    // The product ids a port may have, asked when the search starts.
    virtual QList<quint16> targets() const = 0;
    // Called on the thread before the report (for the updater's log lines).
    virtual void found(const QString& portName) { Q_UNUSED(portName) }

    int m_rounds = 10;
    int m_intervalMs = 500;
    quint16 m_vid;

private:
    Platform::InterruptibleSleep m_sleep;
};
