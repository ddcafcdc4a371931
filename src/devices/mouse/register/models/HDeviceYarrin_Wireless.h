#pragma once

#include "devices/mouse/register/models/HDeviceYarrin.h"

// A model of the register mouse family; what it sets and which variants it takes stand in its row of
// FarrantNordicModels.h. Threads as its base.
class HDeviceYarrin_Wireless : public HDeviceYarrin
{
    Q_OBJECT
public:
    explicit HDeviceYarrin_Wireless(QObject* parent = nullptr);

protected:
    // A model derived from this one, with its own product id.
    HDeviceYarrin_Wireless(int pid, QObject* parent);
};
