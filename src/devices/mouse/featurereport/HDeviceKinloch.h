#pragma once

#include "devices/mouse/featurereport/KDeviceDunmor.h"

// The feature-report mouse with ten DPI steps of its own (DunmorProtocol.h), a one-byte repeat count and its
// vertical wheel codes swapped. A stage whose value has no step is written with that stage's default step and
// the DPI model is told so once the page is written.
//
// Threads: as KDeviceDunmor.
class HDeviceKinloch : public KDeviceDunmor
{
    Q_OBJECT
public:
    explicit HDeviceKinloch(QObject* parent = nullptr);

    QVector<int> getDpiList() override;
    bool setDpiList(const QVector<int>& values) override;
    int setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items, QVariant times,
                 const int& slot) override;
};
