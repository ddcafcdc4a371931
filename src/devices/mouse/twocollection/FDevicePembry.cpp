#include "devices/mouse/twocollection/FDevicePembry.h"

FDevicePembry::FDevicePembry(QObject* parent)
    : FDeviceEdris(Edris::kPembryModel, parent)
{
}
