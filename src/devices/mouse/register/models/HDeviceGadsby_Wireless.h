#pragma once

#include "devices/mouse/register/models/HDeviceGadsby.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class HDeviceGadsby_Wireless : public HDeviceGadsby
{
    Q_OBJECT
public:
    explicit HDeviceGadsby_Wireless(QObject* parent = nullptr);
};
