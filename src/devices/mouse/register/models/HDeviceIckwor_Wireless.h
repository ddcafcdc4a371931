#pragma once

#include "devices/mouse/register/models/KDeviceFarrant_WireLess.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class HDeviceIckwor_Wireless : public KDeviceFarrant_WireLess
{
    Q_OBJECT
public:
    explicit HDeviceIckwor_Wireless(QObject* parent = nullptr);
};
