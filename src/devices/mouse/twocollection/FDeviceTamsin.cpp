#include "devices/mouse/twocollection/FDeviceTamsin.h"

FDeviceTamsin::FDeviceTamsin(QObject* parent)
    : FDeviceEdris(Edris::kTamsinModel, parent)
{
}
