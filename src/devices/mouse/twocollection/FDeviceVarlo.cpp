#include "devices/mouse/twocollection/FDeviceVarlo.h"

FDeviceVarlo::FDeviceVarlo(QObject* parent)
    : FDeviceEdris(Edris::kVarloModel, parent)
{
}
