#pragma once

#include "devices/mouse/register/models/FDeviceKelham_Nordic_Wireless.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class FDeviceKelham_Nordic : public FDeviceKelham_Nordic_Wireless
{
    Q_OBJECT
public:
    explicit FDeviceKelham_Nordic(QObject* parent = nullptr);

protected:
    // A model derived from this one, with its own product id.
    FDeviceKelham_Nordic(int pid, QObject* parent);
};
