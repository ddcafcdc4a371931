#pragma once

#include "devices/mouse/register/KDeviceFarrant_Nordic.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class FDeviceKelham_Nordic_Wireless : public KDeviceFarrant_Nordic
{
    Q_OBJECT
public:
    explicit FDeviceKelham_Nordic_Wireless(QObject* parent = nullptr);

protected:
    // A model derived from this one, with its own product id.
    FDeviceKelham_Nordic_Wireless(int pid, QObject* parent);
};
