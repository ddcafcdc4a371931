#pragma once

#include "devices/mouse/register/models/KDeviceFarrant.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class HDeviceIckwor : public KDeviceFarrant
{
    Q_OBJECT
public:
    explicit HDeviceIckwor(QObject* parent = nullptr);
};
