#pragma once

#include "devices/mouse/twocollection/FDeviceEdris.h"

// The two-collection model Selwin: its own checksum constants, eight buttons read back, the side buttons written to
// swapped places, DPI Cycle as key 5's own function, and its stage defaults.
// Threads and ownership: as FDeviceEdris.
class FDeviceSelwin : public FDeviceEdris
{
public:
    explicit FDeviceSelwin(QObject* parent = nullptr);
};
