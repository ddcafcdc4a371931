#pragma once

#include "devices/mouse/register/KDeviceFarrant_Nordic.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class FDeviceHebden : public KDeviceFarrant_Nordic
{
    Q_OBJECT
public:
    explicit FDeviceHebden(QObject* parent = nullptr);
};
