#pragma once

#include "devices/mouse/featurereport/KDeviceDunmor.h"

// A feature-report mouse that differs from its family only by product id and layout document.
class HDeviceLorrim : public KDeviceDunmor
{
    Q_OBJECT
public:
    explicit HDeviceLorrim(QObject* parent = nullptr);
};
