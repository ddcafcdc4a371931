#include "models/device/FBattreyModel.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "models/device/LightPreset.h"

#include <QDebug>
#include <QJsonObject>

namespace {

constexpr int kLoadingMs = 2000;

const QString kCategory = AnalyticsEvents::kDeviceSaving;
const QString kAction = AnalyticsEvents::kPowerSaving;

KBaseDevice* currentDevice()
{
    return KDeviceController::instance()->currentDevice();
}

} // namespace

FBattreyModel::FBattreyModel(QObject* parent)
    : QObject(parent)
{
    connect(this, &FBattreyModel::sig_power, this, &FBattreyModel::slot_power);
    setBattreyData(-1);
}

FBattreyModel::~FBattreyModel() = default;

void FBattreyModel::setBattreyData(int value)
{
    m_battreyData = value;
    emit battreyDataChanged();
}

void FBattreyModel::setPower(bool on)
{
    m_power = on;
    emit powerChanged();
}

void FBattreyModel::setPowerFlag(bool offered)
{
    m_powerFlag = offered;
    emit powerFlagChanged();
}

void FBattreyModel::battreyChange(int data)
{
    if (data < 0)
        return;
    setBattreyData(data);
}

void FBattreyModel::slot_powerChange()
{
    KBaseDevice* device = currentDevice();
    m_work.run([device] { return *device->getLayout(); }, [this](QJsonObject layout) {
        if (layout.isEmpty())
            return;
        setPowerFlag(layout.value(QLatin1String("hasPowerSaving")).toBool());
        emit sig_power();
    });
}

void FBattreyModel::slot_power()
{
    if (!m_powerFlag)
        return;
    KBaseDevice* device = currentDevice();
    m_work.run([device] { return device->getPowerSaving(); }, [this](bool on) { setPower(on); });
}

void FBattreyModel::setPowerSaving(bool status)
{
    // Nothing to do keeps the window free: the indicator runs only while the device works.
    if (status == m_power)
        return;
    KBaseDevice* device = currentDevice();
    AppServices::instance()->startLoading(kLoadingMs);
    m_work.run([device, status] { return device->setPowerSaving(status); }, [this, status](bool ok) {
        if (!ok) {
            AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
            AppServices::instance()->sendEvent(kCategory, kAction, AnalyticsEvents::kFail);
            qDebug() << "setPowerSaving error";
        } else {
            showNoLightPreset();
            AppServices::instance()->sendEvent(kCategory, kAction, AnalyticsEvents::kSuccess);
            setPower(status);
        }
        AppServices::instance()->stopLoading();
    });
}
