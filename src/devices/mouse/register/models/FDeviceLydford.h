#pragma once

#include "devices/mouse/register/models/FDeviceKelham_Nordic.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class FDeviceLydford : public FDeviceKelham_Nordic
{
    Q_OBJECT
public:
    explicit FDeviceLydford(QObject* parent = nullptr);
};
