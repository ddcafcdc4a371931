#pragma once

#include "common/AppServices.h"

#include <QList>
#include <QString>
#include <QStringList>

// An AppServices that records the feedback the lower layers give and hands out the objects a test sets.
// Installed for its lifetime; the previous services come back on destruction.
//
// Tips read "style:message" (the DPI tip "dpi:value"), events "category/action/label", warnings their type, profile saves
// "section:key". The busy indicator is
// counted like the real one: open() is the number of starts without their stop.
class RecordingServices : public AppServices
{
public:
    RecordingServices();
    ~RecordingServices() override;
    RecordingServices(const RecordingServices&) = delete;
    RecordingServices& operator=(const RecordingServices&) = delete;

    void showTips(int style, const QString& message) override;
    void startLoading(int timeMs) override;
    void startLoading() override;
    void stopLoading() override;
    void startWarning(int type) override;
    void showSetCpiTips(int value) override;
    void stopWarning() override { ++warningStops; }
    void showOpenFailure(const QString& message) override { openFailures << message; }
    void startAnalytics(const QString& agentInfo) override { analyticsStarts << agentInfo; }
    bool analyticsEnabled() const override { return analyticsSwitch; }
    QString connectedModelName() const override { return modelName; }
    // The user's analytics switch (off, as in a new installation) and the connected model's name.
    bool analyticsSwitch = false;
    QString modelName;
    // Links the models set here, as the application links its own.
    void linkDeviceController(KDeviceController* controller) override;
    void sendEvent(const QString& category, const QString& action, const QString& label) override;
    void saveProfileSection(int section, int key) override;

    KConfigFileController* getConfigFileController() const override { return m_configFileController; }
    KImageModel* getImageModel() const override { return m_imageModel; }
    KLightModel* getLightModel() const override { return m_lightModel; }
    FOledModel* getOledModel() const override { return m_oledModel; }
    FBattreyModel* getBattreyModel() const override { return m_battreyModel; }
    HConfigView* getConfigView() const override { return m_configView; }
    HMacroName* getMacroName() const override { return m_macroName; }
    HMacroType* getMacroType() const override { return m_macroType; }
    KKeyModel* getKeyModel() const override { return m_keyModel; }
    FKeyLightModel* getKeyLightModel() const override { return m_keyLightModel; }
    KDpiModel* getDpiModel() const override { return m_dpiModel; }
    KReportModel* getReportModel() const override { return m_reportModel; }
    HEquipmentList* getEquipmentList() const override { return m_equipmentList; }
    float uiScale() const override { return m_scale; }
    QString getConfigPath() const override { return configPath; }
    void setMouseConfig(const QString& fileName, bool write) override;
    QString getToken() const override { return token; }
    QString getLanguage() const override { return language; }
    QString language;
    // Records the login ("username|nickname|token") and keeps its token as the stored one.
    void storeLogin(const QString& username, const QString& nickname, const QString& tokenValue) override
    {
        logins << username + QLatin1Char('|') + nickname + QLatin1Char('|') + tokenValue;
        token = tokenValue;
    }
    QString token;
    QStringList logins;

    void setConfigFileController(KConfigFileController* controller) { m_configFileController = controller; }
    void setImageModel(KImageModel* model) { m_imageModel = model; }
    void setLightModel(KLightModel* model) { m_lightModel = model; }
    void setOledModel(FOledModel* model) { m_oledModel = model; }
    void setBattreyModel(FBattreyModel* model) { m_battreyModel = model; }
    void setScale(float scale) { m_scale = scale; }
    void setConfigView(HConfigView* view) { m_configView = view; }
    void setMacroName(HMacroName* names) { m_macroName = names; }
    void setMacroType(HMacroType* type) { m_macroType = type; }
    void setKeyModel(KKeyModel* model) { m_keyModel = model; }
    void setKeyLightModel(FKeyLightModel* model) { m_keyLightModel = model; }
    void setDpiModel(KDpiModel* model) { m_dpiModel = model; }
    void setReportModel(KReportModel* model) { m_reportModel = model; }
    void setEquipmentList(HEquipmentList* list) { m_equipmentList = list; }

    // Forgets what was recorded (not the objects, the scale or the current profile).
    void clear();

    QStringList tips;
    QStringList events;
    QList<int> warnings;
    // What a device that could not be opened told the user.
    QStringList openFailures;
    int warningStops = 0;
    // The agent text of each analytics start (empty when none was set).
    QStringList analyticsStarts;
    QStringList profileSaves;
    // Also has the profile controller set here save them, as the application does.
    bool saveThroughController = false;
    int loadingStarts = 0;
    int loadingStops = 0;
    int open() const { return loadingStarts - loadingStops; }
    // The current profile's file name, as the application model would hold it.
    QString configPath;

private:
    AppServices* m_previous;
    KConfigFileController* m_configFileController = nullptr;
    KImageModel* m_imageModel = nullptr;
    KLightModel* m_lightModel = nullptr;
    FOledModel* m_oledModel = nullptr;
    FBattreyModel* m_battreyModel = nullptr;
    float m_scale = 1.0f;
    HConfigView* m_configView = nullptr;
    HMacroName* m_macroName = nullptr;
    HMacroType* m_macroType = nullptr;
    KKeyModel* m_keyModel = nullptr;
    FKeyLightModel* m_keyLightModel = nullptr;
    KDpiModel* m_dpiModel = nullptr;
    KReportModel* m_reportModel = nullptr;
    HEquipmentList* m_equipmentList = nullptr;
};
