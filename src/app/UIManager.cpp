#include "app/UIManager.h"

#include "app/KConfigCommon.h"
#include "profiles/HConfigModel.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"

#include "app/HLoadDialog.h"
#include "app/KAppCommon.h"
#include "app/Trans.h"
#include "app/KAppModel.h"
#include "app/KAppManager.h"
#include "app/KResolution.h"
#include "app/HSuspension.h"
#include "app/HWarningDialog.h"
#include "hid/KDeviceController.h"
#include "models/DeviceModelLinks.h"
#include "online/analytics/HAnalytics.h"

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

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QtQml>

UIManager::UIManager(QObject* parent)
    : QObject(parent)
{
    m_trans = new Trans(this);
    m_resolution = new KResolution(this);
    m_resolution->setScale(KAppCommon::instance()->getScale());

    m_dpiModel = new KDpiModel(this);
    m_reportModel = new KReportModel(this);
    m_keyModel = new KKeyModel(this);
    m_imageModel = new KImageModel(this);
    m_suspension = new HSuspension(this);
    m_macroType = new HMacroType(this);
    m_loadDialog = new HLoadDialog(this);
    m_analytics = new HAnalytics(this);
    m_keyLightModel = new FKeyLightModel(this);
    m_keyList = new HKeyModel(this);
    m_keyList->setPointers(m_keyModel, m_keyLightModel);

    m_lightModel = new KLightModel(this);
    m_lightModel->setLogo(new KLightModelItem(m_lightModel));
    m_lightModel->setWheel(new KLightModelItem(m_lightModel));

    m_macroList = new KMacroList(this);
    m_configView = new HConfigView(this);
    m_macroName = new HMacroName(this);
    m_oledModel = new FOledModel(this);
    m_warningDialog = new HWarningDialog(this);
    m_battreyModel = new FBattreyModel(this);
    m_equipmentList = new HEquipmentList(this);

    qmlRegisterType<KLightModelItem>("Model", 1, 0, "KLightModelItem");
    qmlRegisterType<KMacroModel>("Model", 1, 0, "KMacroModel");
    qmlRegisterUncreatableType<KMacroList>("Model", 1, 0, "KMacroList", QString());
    qmlRegisterType<HConfigModel>("Model", 1, 0, "HConfigModel");
    qmlRegisterUncreatableType<HConfigView>("Model", 1, 0, "HConfigview", QString());
    qmlRegisterType<HMacroModel>("Model", 1, 0, "HMacroModel");
    qmlRegisterUncreatableType<HMacroName>("Model", 1, 0, "HMacroName", QString());
    qmlRegisterType<FPaintView>("Model", 1, 0, "FPaintView");
    qmlRegisterType<HPaintLine>("PaintLine", 1, 0, "PaintLine");
    qmlRegisterType<HKeyModel>("Model", 1, 0, "HKeyModel");
    qmlRegisterType<HEquipmentModel>("EquipmentModel", 1, 0, "HEquipmentModel");
    qmlRegisterUncreatableType<HEquipmentList>("EquipmentModel", 1, 0, "HEquipmentList", QString());
}

UIManager::~UIManager()
{
    if (AppServices::instance() == this)
        AppServices::install(nullptr);
    releaseEngine();
}

QStringList UIManager::contextPropertyNames()
{
    return {QStringLiteral("g_uiManager"),    QStringLiteral("g_resolution"),   QStringLiteral("g_appModel"),
            QStringLiteral("g_dpiModel"),     QStringLiteral("g_reportModel"),  QStringLiteral("g_lightModel"),
            QStringLiteral("g_macroList"),    QStringLiteral("h_configView"),   QStringLiteral("h_macroName"),
            QStringLiteral("g_image"),        QStringLiteral("g_keyModel"),     QStringLiteral("g_keyList"),
            QStringLiteral("h_suspension"),   QStringLiteral("h_macroType"),    QStringLiteral("h_loaddialog"),
            QStringLiteral("f_oledModel"),    QStringLiteral("h_warningdialog"), QStringLiteral("f_battreyModel"),
            QStringLiteral("h_analytics"),    QStringLiteral("f_keyLightModel"), QStringLiteral("h_equipmentList")};
}

bool UIManager::initEngine()
{
    if (m_engineInitialised)
        return true;
    m_engine = new QQmlApplicationEngine;
    QQmlContext* context = m_engine->rootContext();
    m_trans->init(context, QStringLiteral(":/trans/"));
    const QList<QObject*> objects = {this,           m_resolution,    KAppModel::instance(), m_dpiModel,
                                     m_reportModel,  m_lightModel,    m_macroList,           m_configView,
                                     m_macroName,    m_imageModel,    m_keyModel,            m_keyList,
                                     m_suspension,   m_macroType,     m_loadDialog,          m_oledModel,
                                     m_warningDialog, m_battreyModel, m_analytics,           m_keyLightModel,
                                     m_equipmentList};
    const QStringList names = contextPropertyNames();
    Q_ASSERT(names.size() == objects.size());
    for (int i = 0; i < names.size(); ++i)
        context->setContextProperty(names.at(i), objects.at(i));
    m_engineInitialised = true;
    return true;
}

bool UIManager::load()
{
    if (!m_engineInitialised)
        return false;
    fitScaleToScreen();
    const QUrl url(QString::fromLatin1(kMainWindowUrl));
    QObject::connect(
        m_engine, &QQmlApplicationEngine::objectCreated, QCoreApplication::instance(),
        [url](QObject* object, const QUrl& objectUrl) {
            if (!object && objectUrl == url) {
                qWarning() << "the main window could not be loaded:" << url.toString();
                QCoreApplication::exit(-1);
            }
        },
        Qt::QueuedConnection);
    m_engine->load(url);
    return true;
}

void UIManager::fitScaleToScreen()
{
    const float asked = m_resolution->getScale();
    const QRect area = availableArea();
    const float used = KAppCommon::fittingScale(asked, area.width(), area.height());
    m_resolution->setScale(used);
    KAppCommon::instance()->setScale(used);
    if (used < asked) {
        qInfo().noquote() << QStringLiteral("[INFO] UI scale %1: %2 does not fit the screen's available area of %3 x %4")
                                 .arg(double(used))
                                 .arg(double(asked))
                                 .arg(area.width())
                                 .arg(area.height());
    } else {
        qInfo().noquote() << QStringLiteral("[INFO] UI scale %1").arg(double(used));
    }
}

QRect UIManager::availableArea() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void UIManager::initTray()
{
    QString language = KAppModel::instance()->getLanguage();
    if (language.isEmpty())
        language = QLocale().language() == QLocale::Chinese ? QStringLiteral("zh") : QStringLiteral("English");
    m_trans->setCurrentLang(language);

    m_trayIcon.setToolTip(tr("Corvane Running..."));
    m_trayIcon.setIcon(QIcon(QStringLiteral(":/common/logo.ico")));
    connect(&m_trayIcon, &KSystemTrayIcon::sigTrayIconClicked, this, [this] { emit setWindowStatus(true); });
    m_trayIcon.addAction(
        tr("Display main window"), [this](QString) { emit setWindowStatus(true); },
        QIcon(QStringLiteral(":/common/TrayIcon-show.png")));
    m_trayIcon.addAction(
        tr("Exit procedure"),
        [this](QString) {
            m_trayIcon.hide();
            QCoreApplication::exit(0);
        },
        QIcon(QStringLiteral(":/common/TrayIcon-close.png")));
    m_trayIcon.show();
    if (!KSystemTrayIcon::isAvailable())
        qDebug() << "[Info] no notification area on this desktop: closing the window minimises it";
}

void UIManager::releaseEngine()
{
    // The documents go first: they hold bindings to every object below. The engine needs the application
    // object; without it (a manager left to the end of the process) it is left to the process's end.
    if (QCoreApplication::instance())
        delete m_engine;
    m_engine = nullptr;
    m_engineInitialised = false;
}

void UIManager::show()
{
    emit setWindowStatus(true);
}

void UIManager::hide()
{
    emit setWindowStatus(false);
}

void UIManager::minimum()
{
}

QVariantMap UIManager::mouseMap() const
{
    QVariantMap map;
    QFile file(QString::fromLatin1(kPictureMap));
    if (!file.open(QIODevice::ReadOnly))
        return map;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return map;
    const QJsonArray devices = doc.object().value(QStringLiteral("device")).toArray();
    for (const QJsonValue& device : devices) {
        const QJsonObject entry = device.toObject();
        map.insert(entry.value(QStringLiteral("name")).toString(),
                   QVariant(entry.value(QStringLiteral("image")).toString()));
    }
    return map;
}

void UIManager::changeLanguage(QString language)
{
    m_trans->setCurrentLang(language);
    retranslateTray();
}

void UIManager::retranslateTray()
{
    m_trayIcon.setToolTip(tr("Corvane Running..."));
    m_trayIcon.retranslate({QStringLiteral("Display main window"), QStringLiteral("Exit procedure")});
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

void UIManager::showOpenFailure(const QString& message)
{
    m_warningDialog->showOpenFailure(message);
}

void UIManager::startAnalytics(const QString& agentInfo)
{
    if (!agentInfo.isEmpty())
        m_analytics->setAgentInfo(agentInfo);
    m_analytics->start();
}

bool UIManager::analyticsEnabled() const
{
    return KAppModel::instance()->getGaEnable();
}

QString UIManager::connectedModelName() const
{
    return KDeviceController::instance()->getMouseName();
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

void UIManager::useRememberedProfile()
{
    KAppModel::instance()->setConfigPath(KConfigCommon::instance()->getEquipmentConfigPath());
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

QString UIManager::getToken() const { return KConfigCommon::instance()->getToken(); }

QString UIManager::getLanguage() const { return KAppModel::instance()->getLanguage(); }

void UIManager::storeLogin(const QString& username, const QString& nickname, const QString& token)
{
    KConfigCommon* settings = KConfigCommon::instance();
    settings->setUsername(username);
    settings->setNickName(nickname);
    settings->setToken(token);
    settings->setLogin(true);
}
