#pragma once

#include "devices/mouse/twocollection/FDeviceEdris.h"

// The two-collection model Tamsin: its own checksum constants, the side buttons at swapped places, DPI Cycle as key 5's
// own function.
// Threads and ownership: as FDeviceEdris.
class FDeviceTamsin : public FDeviceEdris
{
public:
    explicit FDeviceTamsin(QObject* parent = nullptr);
};
