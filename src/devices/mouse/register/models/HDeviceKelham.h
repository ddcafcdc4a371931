#pragma once

#include "devices/mouse/register/models/FDeviceKelham_Nordic_Wireless.h"

// The Kelham: opens a channel of its own and does nothing more at opening; its keys follow the Kelham key
// line. Threads as its base.
class HDeviceKelham : public FDeviceKelham_Nordic_Wireless
{
    Q_OBJECT
public:
    explicit HDeviceKelham(QObject* parent = nullptr);

protected:
    HDeviceKelham(int pid, QObject* parent);

    bool openChannel() override;
    bool afterOpen() override;
};
