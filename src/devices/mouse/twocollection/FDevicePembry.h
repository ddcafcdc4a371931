#pragma once

#include "devices/mouse/twocollection/FDeviceEdris.h"

// The two-collection model Pembry: DPI codes from table A, stages 400..3000, and profile reads and writes
// without the checksums (the mouse keeps none).
// Threads and ownership: as FDeviceEdris.
class FDevicePembry : public FDeviceEdris
{
public:
    explicit FDevicePembry(QObject* parent = nullptr);

protected:
    FDevicePembry(const Edris::Model& model, QObject* parent) : FDeviceEdris(model, parent) {}
};
