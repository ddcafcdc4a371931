#pragma once

#include "devices/mouse/twopage/HDeviceHarlo_Hollis.h"

// A model of the locked two-page variant with its own product id and layout document.
class FDeviceDunmor_Hollis : public HDeviceHarlo_Hollis
{
    Q_OBJECT
public:
    explicit FDeviceDunmor_Hollis(QObject* parent = nullptr);
};
