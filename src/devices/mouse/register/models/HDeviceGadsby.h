#pragma once

#include "devices/mouse/register/models/KDeviceFarrant.h"

// A model of the Farrant line with five DPI stages of one code byte each. Threads as its base.
class HDeviceGadsby : public KDeviceFarrant
{
    Q_OBJECT
public:
    explicit HDeviceGadsby(QObject* parent = nullptr);

    QVector<int> getDpiList() override;
    bool setDpiList(const QVector<int>& values) override;

protected:
    HDeviceGadsby(int pid, QObject* parent);
};
