#pragma once

#include "devices/mouse/twocollection/FDeviceEdris.h"

// The two-collection model Wendal: five DPI stages, ten buttons, its own checksum constants.
// Threads and ownership: as FDeviceEdris.
class FDeviceWendal : public FDeviceEdris
{
    Q_OBJECT
public:
    explicit FDeviceWendal(QObject* parent = nullptr);
};
