#include "devices/mouse/twocollection/FDeviceSelwin.h"

FDeviceSelwin::FDeviceSelwin(QObject* parent)
    : FDeviceEdris(Edris::kSelwinModel, parent)
{
}
