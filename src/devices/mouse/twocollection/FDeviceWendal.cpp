#include "devices/mouse/twocollection/FDeviceWendal.h"

FDeviceWendal::FDeviceWendal(QObject* parent)
    : FDeviceEdris(Edris::kWendalModel, parent)
{
}
