#include "devices/mouse/twocollection/FDeviceOrlan.h"

FDeviceOrlan::FDeviceOrlan(QObject* parent)
    : FDevicePembry(Edris::kOrlanModel, parent)
{
}

bool FDeviceOrlan::setCompositeKey(const KKey& key, const KKeyFunction& function, const QVariant& mask,
                                   QVariant usage)
{
    return setKeyFunction(key, function, mask, usage, QVariant());
}
