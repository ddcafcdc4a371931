#include "hid/KDeviceController.h"

#include "hid/HDeviceManager.h"

KDeviceController* KDeviceController::instance()
{
    static KDeviceController controller;
    return &controller;
}

KDeviceController::KDeviceController() = default;

KDeviceController::~KDeviceController() = default;

KBaseDevice* KDeviceController::currentDevice() const
{
    return HDeviceManager::instance()->getDevice(-1);
}
