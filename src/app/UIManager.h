#pragma once

#include "common/AppServices.h"

#include "app/KSystemTrayIcon.h"

#include <QObject>
#include <QRect>
#include <QVariantMap>

class HAnalytics;
class FKeyLightModel;
class HConfigView;
class HEquipmentList;
class HKeyModel;
class HLoadDialog;
class HMacroName;
class HMacroType;
class KMacroList;
class HSuspension;
class HWarningDialog;
class KResolution;
class QQmlApplicationEngine;
class Trans;

// Owns one object of each user-interface model for the program's lifetime and hands them out through its
// getters; program code reaches a model only through here. It is also the application's AppServices, through
// which the lower layers reach these objects and the user feedback.
//
// It owns the QML engine: publishes the objects as context properties, loads the main window, sets up the
// tray icon and the language, and tells the main window when to show or hide itself (setWindowStatus).
//
// Threads: GUI thread only.
class UIManager : public QObject, public AppServices
{
    Q_OBJECT
    // False where the desktop has no notification area: closing the window then minimises it, since a hidden
    // window could not be brought back.
    Q_PROPERTY(bool trayAvailable READ trayAvailable CONSTANT)
public:
    static constexpr const char* kMainWindowUrl = "qrc:/windows/HWindowMain.qml";
    static constexpr const char* kPictureMap = ":/common/newUI/Firm/sjPicture.json";

    explicit UIManager(QObject* parent = nullptr);
    ~UIManager() override;

    // Creates the engine and publishes the context properties; true, also when called again.
    bool initEngine();
    // Loads the main window; false before initEngine. A window that fails to load ends the event loop with -1.
    bool load();
    // The interface language (from the settings, else from the system) and the tray icon.
    void initTray();
    // Before the application object goes: the engine and with it every document.
    void releaseEngine();

    QQmlApplicationEngine* getEngine() const { return m_engine; }
    Trans* getTrans() const { return m_trans; }
    KSystemTrayIcon& trayIcon() { return m_trayIcon; }
    bool trayAvailable() const { return KSystemTrayIcon::isAvailable(); }

    Q_INVOKABLE void show();
    Q_INVOKABLE void hide();
    Q_INVOKABLE void minimum();
    // Device-type name -> picture URL.
    Q_INVOKABLE QVariantMap mouseMap() const;
    Q_INVOKABLE void changeLanguage(QString language);
    // The primary screen's available area (without panels and docks): where the main window is placed and
    // dragged. Empty without a screen.
    Q_INVOKABLE QRect availableArea() const;

    // The context properties that initEngine publishes, in order (tests hold them to the list).
    static QStringList contextPropertyNames();
    // Limits the UI scale to the largest at which the main window fits the available area; logs the factor used.
    void fitScaleToScreen();

signals:
    void setWindowStatus(bool status);

public:

    HMacroType* getMacroType() const override { return m_macroType; }
    HMacroName* getMacroName() const override { return m_macroName; }
    KMacroList* getMacroList() const { return m_macroList; }
    HLoadDialog* getLoadDialog() const { return m_loadDialog; }
    HSuspension* getSuspension() const { return m_suspension; }
    HWarningDialog* getWarningDialog() const { return m_warningDialog; }
    HAnalytics* getAnalytics() const { return m_analytics; }
    HConfigView* getConfigView() const override { return m_configView; }
    KConfigFileController* getConfigFileController() const override;
    QString getToken() const override;
    QString getLanguage() const override;
    void storeLogin(const QString& username, const QString& nickname, const QString& token) override;
    KImageModel* getImageModel() const override { return m_imageModel; }
    KLightModel* getLightModel() const override { return m_lightModel; }
    KKeyModel* getKeyModel() const override { return m_keyModel; }
    FKeyLightModel* getKeyLightModel() const override { return m_keyLightModel; }
    KDpiModel* getDpiModel() const override { return m_dpiModel; }
    KReportModel* getReportModel() const override { return m_reportModel; }
    HKeyModel* getKeyList() const { return m_keyList; }
    KResolution* getResolution() const { return m_resolution; }
    FOledModel* getOledModel() const override { return m_oledModel; }
    FBattreyModel* getBattreyModel() const override { return m_battreyModel; }
    HEquipmentList* getEquipmentList() const override { return m_equipmentList; }

    // AppServices: feedback through the dialogs above.
    void showTips(int style, const QString& message) override;
    void startLoading(int timeMs) override;
    void startLoading() override;
    void stopLoading() override;
    void startWarning(int type) override;
    void showSetCpiTips(int value) override;
    void stopWarning() override;
    void showOpenFailure(const QString& message) override;
    void useRememberedProfile() override;
    void startAnalytics(const QString& agentInfo) override;
    bool analyticsEnabled() const override;
    QString connectedModelName() const override;
    void linkDeviceController(KDeviceController* controller) override;
    void sendEvent(const QString& category, const QString& action, const QString& label) override;
    float uiScale() const override;
    void saveProfileSection(int section, int key) override;
    // AppServices: the current profile through the application model.
    QString getConfigPath() const override;
    void setMouseConfig(const QString& fileName, bool write) override;

private:
    void retranslateTray();

    bool m_engineInitialised = false;
    QQmlApplicationEngine* m_engine = nullptr;
    KSystemTrayIcon m_trayIcon;
    Trans* m_trans = nullptr;
    HMacroType* m_macroType = nullptr;
    HMacroName* m_macroName = nullptr;
    KMacroList* m_macroList = nullptr;
    HLoadDialog* m_loadDialog = nullptr;
    HSuspension* m_suspension = nullptr;
    HWarningDialog* m_warningDialog = nullptr;
    HAnalytics* m_analytics = nullptr;
    HConfigView* m_configView = nullptr;
    KResolution* m_resolution = nullptr;
    KImageModel* m_imageModel = nullptr;
    KLightModel* m_lightModel = nullptr;
    KKeyModel* m_keyModel = nullptr;
    FKeyLightModel* m_keyLightModel = nullptr;
    HKeyModel* m_keyList = nullptr;
    KDpiModel* m_dpiModel = nullptr;
    KReportModel* m_reportModel = nullptr;
    FOledModel* m_oledModel = nullptr;
    FBattreyModel* m_battreyModel = nullptr;
    HEquipmentList* m_equipmentList = nullptr;
};
