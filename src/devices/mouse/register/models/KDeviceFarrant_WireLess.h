#pragma once

#include "devices/mouse/register/KDeviceFarrant_Nordic.h"

// The wireless Farrant: opens a channel of its own, enters game mode at once (warning 0 when it cannot) and
// starts the reader for a product id of the receiver range. Threads as its base.
class KDeviceFarrant_WireLess : public KDeviceFarrant_Nordic
{
    Q_OBJECT
public:
    explicit KDeviceFarrant_WireLess(QObject* parent = nullptr);

protected:
    KDeviceFarrant_WireLess(int pid, QObject* parent);

    bool openChannel() override;
    bool afterOpen() override;
};
