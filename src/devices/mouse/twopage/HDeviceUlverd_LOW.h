#pragma once

#include "devices/mouse/twopage/HDeviceUlverd.h"

// The two-page mouse with the extended DPI range: both tables go on to 12400 in steps of 200, and it has a
// layout document of its own. Everything else is HDeviceUlverd's.
class HDeviceUlverd_LOW : public HDeviceUlverd
{
    Q_OBJECT
public:
    explicit HDeviceUlverd_LOW(QObject* parent = nullptr);
};
