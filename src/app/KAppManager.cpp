#include "app/KAppManager.h"

#include "app/UIManager.h"
#include "hid/KDeviceController.h"
#include "models/device/SysParameterControll.h"
#include "profiles/KConfigFileController.h"

#include <QCoreApplication>
#include <QDebug>

KAppManager* KAppManager::instance()
{
    static KAppManager manager;
    return &manager;
}

KAppManager::KAppManager()
{
    qDebug() << "+KAppManager";
}

KAppManager::~KAppManager()
{
    AppServices::install(nullptr);
    qDebug() << "~KAppManager";
}

bool KAppManager::init()
{
    if (m_initialised)
        return true;
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.1"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    m_configFileController = new KConfigFileController(this);
    m_uiManager = new UIManager(this);
    AppServices::install(m_uiManager);
    SysParameterControll::instance();
    KDeviceController::instance()->init(m_uiManager);
    m_initialised = true;
    return true;
}
