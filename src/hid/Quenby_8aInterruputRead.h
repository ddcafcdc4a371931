#pragma once

#include "hid/KInterruptReadThread.h"

// The keyboard's reader of its own input reports (keys and light changes made on the device). It opens a
// channel of its own to the vendor interface, blocks in reads and hands each report to the owner's thread as
// a hex text for the log and as one character per byte. Destroying it stops and joins the thread.
class Quenby_8aInterruputRead : public KInterruptReadThread
{
    Q_OBJECT
public:
    static constexpr quint16 kUsage = 0x92;
    static constexpr quint16 kUsagePage = 0xFF01;

    explicit Quenby_8aInterruputRead(QObject* parent = nullptr);
    ~Quenby_8aInterruputRead() override;

protected:
    void run() override;
};
