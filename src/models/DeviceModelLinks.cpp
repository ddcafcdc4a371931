#include "models/DeviceModelLinks.h"

#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "models/device/FBattreyModel.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/HEquipmentList.h"
#include "models/device/KDpiModel.h"
#include "models/device/KReportModel.h"
#include "models/device/FOledModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/keys/KKeyModel.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace {

// The profile the controller chose: made from the factory profile and applied to the device when it does not
// exist yet, otherwise shown in the models (the controller then has it compared with the device); the list
// of profiles is read again either way.
void useProfile(KConfigFileController* files, HConfigView* list, const QString& folder, const QString& path)
{
    if (files) {
        if (!QFileInfo::exists(path)) {
            const QString base = QFileInfo(path).completeBaseName();
            files->createConfig(folder, base);
            files->createMouseConfig(path);
            if (list)
                list->savePicture(ProfileNames::newProfilePicture(), QFileInfo(path).path() + QLatin1Char('/'), base);
            files->readConfigData(path);
        } else {
            files->getMouseType(path);
        }
    }
    if (list) {
        list->initFromFile();
        emit list->getItemIndexAgain();
    }
}

} // namespace

void DeviceModelLinks::link(KDeviceController* controller, AppServices* services)
{
    using C = KDeviceController;
    if (!controller || !services)
        return;
    // Every link has its model as context, so that it ends with the model; linking twice links once.
    const auto unique = Qt::UniqueConnection;

    if (KImageModel* image = services->getImageModel()) {
        QObject::connect(controller, &C::imageModelChanged, image, &KImageModel::deviceDataChange, unique);
        QObject::connect(controller, &C::sig_readDeviceVersion, image, &KImageModel::readDeviceVersion, unique);
        QObject::connect(controller, &C::sig_deviceCreated, image, [image](KBaseDevice* device) {
            QObject::connect(device, &KBaseDevice::sigCurrentModeChange, image, &KImageModel::slot_currentModeChange);
        });
    }
    if (KLightModel* lights = services->getLightModel()) {
        QObject::connect(controller, &C::lightChanged, lights, &KLightModel::deviceDataChange, unique);
        QObject::connect(controller, &C::sig_deviceCreated, lights, [lights](KBaseDevice* device) {
            if (KLightModelItem* logo = lights->logo())
                QObject::connect(device, &KBaseDevice::sigcurrentChange, logo, &KLightModelItem::slot_currentChange);
        });
    }
    if (KReportModel* report = services->getReportModel())
        QObject::connect(controller, &C::reportChanged, report, &KReportModel::deviceDataChange, unique);
    if (KDpiModel* dpi = services->getDpiModel()) {
        QObject::connect(controller, &C::dpiChanged, dpi, &KDpiModel::deviceDataChange, unique);
        QObject::connect(controller, &C::currentDpiIndexChanged, dpi, &KDpiModel::currentIndexChange, unique);
        QObject::connect(controller, &C::sig_deviceCreated, dpi, [dpi](KBaseDevice* device) {
            QObject::connect(device, &KBaseDevice::sigcurrentCPI, dpi, &KDpiModel::getCurrentDPIChange);
        });
    }
    if (FKeyLightModel* keyLights = services->getKeyLightModel())
        QObject::connect(controller, &C::keyLightChanged, keyLights, &FKeyLightModel::deviceDataChange, unique);
    if (HEquipmentList* equipment = services->getEquipmentList())
        QObject::connect(controller, &C::sig_equipmentListChanged, equipment, &HEquipmentList::initEquipmentList,
                         unique);
    if (KKeyModel* keys = services->getKeyModel())
        QObject::connect(controller, &C::keyChanged, keys, &KKeyModel::deviceDataChange, unique);
    if (FOledModel* oled = services->getOledModel())
        QObject::connect(controller, &C::oledChanged, oled, &FOledModel::deviceDataChange, unique);
    if (FBattreyModel* battery = services->getBattreyModel()) {
        QObject::connect(controller, &C::powerChanged, battery, &FBattreyModel::slot_powerChange, unique);
        QObject::connect(controller, &C::sig_deviceCreated, battery, [battery](KBaseDevice* device) {
            QObject::connect(device, &KBaseDevice::sigBattrey, battery, &FBattreyModel::battreyChange);
        });
    }

    KConfigFileController* files = services->getConfigFileController();
    HConfigView* list = services->getConfigView();
    if (list) {
        QObject::connect(controller, &C::configChanged, list, &HConfigView::deviceDataChanged, unique);
        QObject::connect(controller, &C::sig_profileNameReset, list, &HConfigView::getItemIndexAgain, unique);
    }
    if (files) {
        QObject::connect(controller, &C::deviceChanedFinished, files,
                         [files](QString& path) { files->contrastMouseData(path); });
        const QPointer<HConfigView> listGuard(list);
        QObject::connect(controller, &C::sig_profileChosen, files,
                         [files, listGuard](const QString& folder, const QString& path) {
                             useProfile(files, listGuard.data(), folder, path);
                         });
    } else if (list) {
        QObject::connect(controller, &C::sig_profileChosen, list,
                         [list](const QString& folder, const QString& path) { useProfile(nullptr, list, folder, path); });
    }
}
