#pragma once

#include "devices/mouse/register/models/HDeviceYarrin.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class HDeviceZennor : public HDeviceYarrin
{
    Q_OBJECT
public:
    explicit HDeviceZennor(QObject* parent = nullptr);
};
