#pragma once

#include "devices/mouse/twocollection/FDeviceEdris.h"

// The two-collection model Varlo: five DPI stages with its own code table (4200 has no code), ten buttons, its own
// checksum constants.
// Threads and ownership: as FDeviceEdris.
class FDeviceVarlo : public FDeviceEdris
{
    Q_OBJECT
public:
    explicit FDeviceVarlo(QObject* parent = nullptr);
};
