#pragma once

#include "devices/mouse/featurereport/KDeviceDunmor.h"

// A feature-report mouse that differs from its family only by product id and layout document.
class KDeviceGarrick : public KDeviceDunmor
{
    Q_OBJECT
public:
    explicit KDeviceGarrick(QObject* parent = nullptr);
};
