#pragma once

#include "devices/mouse/twocollection/FDevicePembry.h"

// The two-collection model Orlan: Pembry's profile transfer and DPI codes, its own buttons (no DPI- button,
// a side wheel on buttons 9 and 10) and codes, and a fixed code at bytes 364..367 with every profile write.
// Its function with combination data is written at once, as a plain assignment.
// Threads and ownership: as FDeviceEdris.
class FDeviceOrlan : public FDevicePembry
{
public:
    explicit FDeviceOrlan(QObject* parent = nullptr);

    bool setCompositeKey(const KKey& key, const KKeyFunction& function, const QVariant& mask,
                         QVariant usage) override;
};
