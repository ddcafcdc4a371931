#pragma once

#include "hid/KInterruptReadThread.h"

// The mouse families' reader of their own input reports. By product id it either asks its owner every ten
// seconds to read the battery, reads the receiver's interface, or reads the fifth collection of the mouse.
// Destroying it stops and joins the thread.
class FarrantInterruputRead : public KInterruptReadThread
{
    Q_OBJECT
public:
    static constexpr int kBatteryPollMs = 10000;

    explicit FarrantInterruputRead(QObject* parent = nullptr);
    ~FarrantInterruputRead() override;

    static bool isBatteryPollModel(quint16 pid);
    static bool isReceiverModel(quint16 pid);

protected:
    void run() override;

private:
    void pollBattery();
};
