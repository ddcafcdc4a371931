#pragma once

#include "devices/mouse/register/models/KDeviceFarrant.h"

// A model of the Farrant line with five DPI stages of one code byte each. Threads as its base.
class HDeviceYarrin : public KDeviceFarrant
{
    Q_OBJECT
public:
    explicit HDeviceYarrin(QObject* parent = nullptr);

    QVector<int> getDpiList() override;
    bool setDpiList(const QVector<int>& values) override;

protected:
    HDeviceYarrin(int pid, QObject* parent);
};
