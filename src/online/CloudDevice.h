#pragma once

#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "models/device/KImageModel.h"
#include "profiles/FileHelpers.h"

#include <QString>

// The device whose profiles the cloud backup and restore carry, as the device picture names it.
namespace CloudDevice {

// The current device's name when it can name its profile folder (a bare name); empty without a device,
// which would otherwise make the whole profile root the device's folder.
inline QString name()
{
    const KImageModel* image = AppServices::instance()->getImageModel();
    const QString deviceName = image ? image->deviceName() : QString();
    return isBareName(deviceName) ? deviceName : QString();
}

// The device's profile folder.
inline QString profileFolder(const QString& deviceName)
{
    return ProgramFolders::profileRoot() + QLatin1Char('/') + deviceName;
}

} // namespace CloudDevice
