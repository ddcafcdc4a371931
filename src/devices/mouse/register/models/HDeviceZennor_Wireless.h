#pragma once

#include "devices/mouse/register/models/HDeviceYarrin_Wireless.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class HDeviceZennor_Wireless : public HDeviceYarrin_Wireless
{
    Q_OBJECT
public:
    explicit HDeviceZennor_Wireless(QObject* parent = nullptr);
};
