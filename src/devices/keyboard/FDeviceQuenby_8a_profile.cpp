// Applying a whole profile document to FDeviceQuenby_8a.

#include "devices/keyboard/FDeviceQuenby_8a.h"

int FDeviceQuenby_8a::getMouseConfig(QJsonObject profile)
{
    Q_UNUSED(profile);
    return 2;
}
