#include "app/UIManager.h"

#include "profiles/HConfigModel.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"

#include "app/HLoadDialog.h"
#include "app/KAppModel.h"
#include "app/KAppManager.h"
#include "app/KResolution.h"
#include "app/HSuspension.h"
#include "app/HWarningDialog.h"
#include "hid/FPairing.h"
#include "online/HAnalytics.h"

#include "models/DeviceModelLinks.h"
#include "models/device/FKeyLightModel.h"
#include "models/device/KDpiModel.h"
#include "models/device/FBattreyModel.h"
#include "models/device/FOledModel.h"
#include "models/device/FPaintView.h"
#include "models/device/HEquipmentList.h"
#include "models/device/HEquipmentModel.h"
#include "models/device/HPaintLine.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/device/KReportModel.h"
#include "models/keys/HKeyModel.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/HMacroModel.h"
#include "models/keys/HMacroName.h"
#include "models/keys/KMacroList.h"
#include "models/keys/KMacroModel.h"
#include "models/keys/HMacroType.h"

#include <QtQml>

UIManager::UIManager(QObject* parent)
    : QObject(parent)
{
    qmlRegisterType<HConfigModel>("Model", 1, 0, "HConfigModel");
    qmlRegisterUncreatableType<HConfigView>("Model", 1, 0, "HConfigview", QString());
    m_configView = new HConfigView(this);
    m_macroType = new HMacroType(this);
    qmlRegisterType<KMacroModel>("Model", 1, 0, "KMacroModel");
    qmlRegisterUncreatableType<KMacroList>("Model", 1, 0, "KMacroList", QString());
    m_macroList = new KMacroList(this);
    qmlRegisterType<HMacroModel>("Model", 1, 0, "HMacroModel");
    qmlRegisterUncreatableType<HMacroName>("Model", 1, 0, "HMacroName", QString());
    m_macroName = new HMacroName(this);
    m_oledModel = new FOledModel(this);
    m_loadDialog = new HLoadDialog(this);
    m_suspension = new HSuspension(this);
    m_warningDialog = new HWarningDialog(this);
    m_battreyModel = new FBattreyModel(this);
    m_equipmentList = new HEquipmentList(this);
    m_analytics = new HAnalytics(this);
    m_resolution = new KResolution(this);
    m_imageModel = new KImageModel(this);
    m_lightModel = new KLightModel(this);
    m_lightModel->setLogo(new KLightModelItem(m_lightModel));
    m_lightModel->setWheel(new KLightModelItem(m_lightModel));
    qmlRegisterType<KLightModelItem>("Model", 1, 0, "KLightModelItem");
    qmlRegisterType<HKeyModel>("Model", 1, 0, "HKeyModel");
    qmlRegisterType<FPairing>("k.tools", 1, 0, "FPairing");
    m_keyModel = new KKeyModel(this);
    m_keyLightModel = new FKeyLightModel(this);
    m_keyList = new HKeyModel(this);
    m_keyList->setPointers(m_keyModel, m_keyLightModel);
    m_dpiModel = new KDpiModel(this);
    m_reportModel = new KReportModel(this);
    qmlRegisterType<FPaintView>("Model", 1, 0, "FPaintView");
    qmlRegisterType<HPaintLine>("PaintLine", 1, 0, "PaintLine");
    qmlRegisterType<HEquipmentModel>("EquipmentModel", 1, 0, "HEquipmentModel");
    qmlRegisterUncreatableType<HEquipmentList>("EquipmentModel", 1, 0, "HEquipmentList", QString());
}

UIManager::~UIManager()
{
    if (AppServices::instance() == this)
        AppServices::install(nullptr);
}

KConfigFileController* UIManager::getConfigFileController() const
{
    return KAppManager::instance()->getConfigFileController();
}

void UIManager::showTips(int style, const QString& message)
{
    m_suspension->showTips(style, message);
}

void UIManager::startLoading(int timeMs)
{
    m_loadDialog->startLoading(timeMs);
}

void UIManager::startLoading()
{
    m_loadDialog->startLoading();
}

void UIManager::stopLoading()
{
    m_loadDialog->stopLoading();
}

void UIManager::startWarning(int type)
{
    m_warningDialog->startWarning(type);
}

void UIManager::showSetCpiTips(int value)
{
    m_suspension->showSetCpiTips(value);
}

void UIManager::stopWarning()
{
    emit m_warningDialog->sig_stopWarning();
}

void UIManager::startAnalytics(const QString& agentInfo)
{
    if (!agentInfo.isEmpty())
        m_analytics->setAgentInfo(agentInfo);
    m_analytics->start();
}

void UIManager::linkDeviceController(KDeviceController* controller)
{
    DeviceModelLinks::link(controller, this);
}

void UIManager::sendEvent(const QString& category, const QString& action, const QString& label)
{
    m_analytics->sendEvent(category, action, label);
}

float UIManager::uiScale() const
{
    return m_resolution->getScale();
}

QString UIManager::getConfigPath() const
{
    return KAppModel::instance()->getConfigPath();
}

void UIManager::setMouseConfig(const QString& fileName, bool write)
{
    KAppModel::instance()->setMouseConfig(fileName, write);
}

void UIManager::saveProfileSection(int section, int key)
{
    if (KConfigFileController* controller = getConfigFileController())
        controller->saveCurrentProfileSection(section, key);
}
