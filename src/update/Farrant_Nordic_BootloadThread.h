#pragma once

#include "firmware/DfuPortThread.h"

// Watches the serial ports for one DFU bootloader (vendor and product id): a limited number of passes, 500 ms
// apart; reports the port's name, or an empty text after the last pass.
//
// Threads: runs on its own; setters before start; stop() from any thread (the owner joins it afterwards).
class Farrant_Nordic_BootloadThread : public DfuPortThread
{
    Q_OBJECT
public:
    explicit Farrant_Nordic_BootloadThread(QObject* parent = nullptr);

    void setVid(quint16 vid) { m_vid = vid; }
    void setPid(quint16 pid) { m_pid = pid; }
    void setPasses(int passes) { m_rounds = passes; }

protected:
    QList<quint16> targets() const override { return {m_pid}; }

private:
    quint16 m_pid = 0;
};
