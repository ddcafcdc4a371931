#pragma once

#include "devices/mouse/register/models/FDeviceKelham_Nordic_Wireless.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class FDeviceNesbit : public FDeviceKelham_Nordic_Wireless
{
    Q_OBJECT
public:
    explicit FDeviceNesbit(QObject* parent = nullptr);
};
