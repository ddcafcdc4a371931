#include "app/HWarningDialog.h"

#include "common/AppServices.h"
#include "hid/HDeviceManager.h"
#include "hid/KDeviceController.h"
#include "hid/KBaseDevice.h"
#include "models/device/KImageModel.h"

#include <QDebug>

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
    setOpenFailure(QString());
    if (type == DeviceConnect) {
        const int pid = registry->currentPid();
        if (pid > kWirelessPidLow && pid < kWirelessPidHigh)
            emit sig_startWarning();
    }
    if (type == OperationFailed) {
        const KImageModel* image = AppServices::instance()->getImageModel();
        if (image && image->isWireLess()) {
            qDebug() << "鼠标已休眠";
            emit sig_startWarning();
        } else {
            // A wired device that refused a setting is not asleep: the popup would be wrong, silence too.
            AppServices::instance()->showTips(AppServices::TipFail,
                                              tr("Setting failed. The device did not accept the change"));
        }
    }
}

void HWarningDialog::showOpenFailure(const QString& message)
{
    m_type = DeviceConnect;
    setOpenFailure(message);
    emit sig_startWarning();
}

void HWarningDialog::clearOpenFailure()
{
    setOpenFailure(QString());
}

void HWarningDialog::setOpenFailure(const QString& message)
{
    if (m_openFailure == message)
        return;
    m_openFailure = message;
    emit openFailureChanged();
}

bool HWarningDialog::getMouseType()
{
    if (m_type == DeviceConnect) {
        emit sig_stopWarning();
        KDeviceController::instance()->slot_reloadMouse();
        return true;
    }
    AppServices* services = AppServices::instance();
    services->startLoading(2000);
    KBaseDevice* device = HDeviceManager::instance()->getDevice(-1);
    if (!device)
        return true;
    m_work.run([device] { return device->getReportRate(); }, [this](int rate) {
        if (rate == -1) {
            qDebug() << "鼠标未唤醒";
            startWarning(OperationFailed);
        } else {
            emit sig_stopWarning();
        }
        AppServices::instance()->stopLoading();
    });
    return true;
}
