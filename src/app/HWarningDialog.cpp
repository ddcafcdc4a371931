#include "app/HWarningDialog.h"

#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"

HWarningDialog::HWarningDialog(QObject* parent)
    : QObject(parent)
{
}

HWarningDialog::~HWarningDialog() = default;

void HWarningDialog::startWarning(int type)
{
    HDeviceManager* registry = HDeviceManager::instance();
    const KBaseDevice* device = registry->getDevice(-1);
    if (device && device->isRemoved())
        return;
    m_type = type;
    if (type == DeviceConnect) {
        const int pid = registry->currentPid();
        if (pid > kWirelessPidLow && pid < kWirelessPidHigh)
            emit sig_startWarning();
    }
    // OperationFailed is shown once the device-view model can tell a wireless device; no device class of
    // this build is wireless.
}
