#include "online/KNetLogin.h"
#include "online/KNetRegister.h"
#include "online/KNetUpdatePwd.h"
#include "online/KNetForgotSendEmail.h"
#include "online/KNetForgotVerifyCode.h"
#include "online/KNetForgotNewPwd.h"
#include "online/KNetCommon.h"
#include "online/FDownLoadFile.h"
#include "online/FUpLoadFile.h"
#include "app/KAppManager.h"
#include "update/FUpdateGFirmWare.h"
#include "update/HHttpDownload.h"
#include "update/KUpdater.h"

#include "app/KAppCommon.h"
#include "app/HeapRelease.h"
#include "app/KAppModel.h"
#include "app/KConfigCommon.h"
#include "app/UIManager.h"
#include "models/InterfaceFont.h"
#include "hid/HDeviceManager.h"
#include "hid/FPairing.h"
#include "hid/KDeviceController.h"
#include "models/device/SysParameterControll.h"
#include "platform/desktop/DesktopMouseSettings.h"
#include "profiles/KConfigFileController.h"

#include <QApplication>
#include <QFont>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QGuiApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QThreadPool>
#include <QtQml>

#include <memory>

namespace {

// How long the quit waits for profile routines still running or queued.
constexpr int kRoutineDrainMs = 15000;

} // namespace

KAppManager* KAppManager::instance()
{
    static KAppManager manager;
    return &manager;
}

KAppManager::KAppManager()
    : m_deviceController(KDeviceController::instance())
{
    qDebug() << "+KAppManager";
    KAppCommon* common = KAppCommon::instance();
    qDebug() << "[Info] app config path" << common->getAppConfigFolderPath();
    qDebug() << "[Info] mouse config path" << QDir().mkpath(common->getMSConfigFolderPath());
    qDebug() << "[Info] macro config path" << QDir().mkpath(common->getMacroFolderPath());
    KConfigCommon::applyNetworkSettings(common->getAppConfigPath());
    KNetCommon::instance()->checkOnline();
}

KAppManager::~KAppManager()
{
    // The program shuts down in main; a manager that outlives the application object (a test's) only lets
    // its children go, since the thread pool and the engine went with the application.
    if (QCoreApplication::instance())
        shutdown();
    else if (AppServices::instance() == m_uiManager)
        AppServices::install(nullptr);
    qDebug() << "~KAppManager";
}

QStringList KAppManager::contextPropertyNames()
{
    return {QStringLiteral("g_common"), QStringLiteral("g_configFileController"), QStringLiteral("g_deviceCtl"),
            QStringLiteral("g_configCommon"), QStringLiteral("g_sysparameter"), QStringLiteral("g_updater"),
            QStringLiteral("h_httpDownload")};
}

bool KAppManager::init()
{
    if (m_initialised)
        return true;
    QCoreApplication::setApplicationVersion(KAppCommon::instance()->getAppVersion());
    QCoreApplication::setApplicationName(KAppCommon::instance()->getAppName());
    m_configFileController = new KConfigFileController(this);
    // The program's self-update and the version query, which hands over to it.
    m_httpDownload = new HHttpDownload(this);
    m_updater = new KUpdater(this);
    m_updater->setSelfUpdater(m_httpDownload);
    loadApplicationFont();
    m_uiManager = new UIManager(this);
    AppServices::install(m_uiManager);
    if (!m_uiManager->initEngine())
        return false;
    if (!m_deviceController->init(m_uiManager))
        return false;
    qmlRegisterType<FPairing>("k.tools", 1, 0, "FPairing");
    qmlRegisterType<FUpdateGFirmWare>("k.tools", 1, 0, "FUpdateFirmware");
    qmlRegisterType<KNetLogin>("k.tools", 1, 0, "KNetLogin");
    qmlRegisterType<KNetRegister>("k.tools", 1, 0, "KNetRegister");
    qmlRegisterType<KNetUpdatePwd>("k.tools", 1, 0, "KNetUpdatePwd");
    qmlRegisterType<KNetForgotSendEmail>("k.tools", 1, 0, "KNetForgotSendEmail");
    qmlRegisterType<KNetForgotVerifyCode>("k.tools", 1, 0, "KNetForgotVerifyCode");
    qmlRegisterType<KNetForgotNewPwd>("k.tools", 1, 0, "KNetForgotNewPwd");
    qmlRegisterType<FUpLoadFile>("k.tools", 1, 0, "FUpLoadFile");
    qmlRegisterType<FDownLoadFile>("k.tools", 1, 0, "FDownLoadFile");
    // A reconnected device: the application model takes the profile the settings keep for it.
    connect(m_deviceController, &KDeviceController::sig_updateConfigPath, KAppModel::instance(),
            &KAppModel::sig_updateConfigPath);

    // The desktop's own mouse settings, before the settings pages' object reads them. Test runs never touch
    // the desktop of whoever runs them: they install a backend of their own or have none.
    if (!qEnvironmentVariableIsSet("CORVANE_TEST")) {
        static const std::unique_ptr<Platform::SystemMouseSettings> desktop = Platform::desktopMouseSettings();
        Platform::setSystemMouseSettings(desktop.get());
    }

    QQmlContext* context = m_uiManager->getEngine()->rootContext();
    const QList<QObject*> objects = {KAppCommon::instance(), m_configFileController, m_deviceController,
                                     KConfigCommon::instance(), SysParameterControll::instance(), m_updater,
                                     m_httpDownload};
    const QStringList names = contextPropertyNames();
    for (int i = 0; i < names.size(); ++i)
        context->setContextProperty(names.at(i), objects.at(i));
    m_initialised = true;
    return true;
}

void KAppManager::loadApplicationFont()
{
    // Fonts are the GUI application's; a program without one (a test of the lower layers) has none to set.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const QString family = InterfaceFont::family();
    qInfo().noquote() << "[INFO] interface font:" << family;
    QApplication::setFont(QFont(family));
}

bool KAppManager::start()
{
    if (!m_initialised)
        return false;
    if (!m_uiManager->load())
        return false;
    HeapRelease::releaseAfterFirstFrame(qobject_cast<QQuickWindow*>(m_uiManager->getEngine()->rootObjects().value(0)));
    m_uiManager->initTray();
    m_deviceController->updateDeviceStatus();
    if (!m_deviceController->startWatch())
        qWarning() << "device notifications are not available; devices plugged in later are not seen";
    return true;
}

void KAppManager::shutdown()
{
    if (!m_uiManager && !m_configFileController && !m_updater)
        return;
    // The profile routines first (bounded): a change written to the device just before the quit still
    // reaches its profile.
    if (m_configFileController) {
        QDeadlineTimer deadline(kRoutineDrainMs);
        while (m_configFileController->hasPendingRoutines() && !deadline.hasExpired()) {
            QThreadPool::globalInstance()->waitForDone(50);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        if (m_configFileController->hasPendingRoutines())
            qWarning() << "[Error] profile work was still pending at quit";
    }
    // Device work next: nothing may still report into a model that is about to go. What the device work
    // queued for the GUI thread runs before the devices are deleted.
    m_deviceController->shutdown();
    for (int round = 0; round < 3; ++round) {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }
    HDeviceManager::instance()->deleteAllDevices();
    if (m_uiManager) {
        m_uiManager->releaseEngine();
        if (AppServices::instance() == m_uiManager)
            AppServices::install(nullptr);
        delete m_uiManager;
        m_uiManager = nullptr;
    }
    delete m_configFileController;
    m_configFileController = nullptr;
    delete m_updater;
    m_updater = nullptr;
    delete m_httpDownload;
    m_httpDownload = nullptr;
    m_initialised = false;
}

void KAppManager::messageReceived(QString message)
{
    Q_UNUSED(message)
    if (m_uiManager)
        m_uiManager->show();
}
