#pragma once

#include "common/UiScale.h"

#include <QString>

class FKeyLightModel;
class FBattreyModel;
class FOledModel;
class HConfigView;
class HEquipmentList;
class KDeviceController;
class HMacroName;
class HMacroType;
class KConfigFileController;
class KDpiModel;
class KImageModel;
class KKeyModel;
class KLightModel;
class KReportModel;

// What the lower layers (profiles, models, devices) need of the running application: user feedback (tips, the
// busy indicator, device warnings, analytics events) and the objects the UI manager owns. The application
// installs its implementation at start-up (KAppManager::init); until then, and in tests of the lower layers that
// install nothing, a silent default answers: no feedback, no objects. Folders are in common/ProgramFolders.h.
// A new model that other layers reach gets a getter here (null by default) and in the UI manager.
//
// Threads: call it on the GUI thread only, like the objects it hands out.
class AppServices
{
public:
    // Tip styles, as the tip popup draws them.
    enum TipStyle { TipSuccess = 0, TipFail = 1, TipWarning = 2 };
    // Device warnings: a device connected (wireless receivers only), an operation failed (wireless devices).
    enum WarningType { WarningDeviceConnect = 0, WarningOperationFailed = 1 };

    virtual ~AppServices() = default;

    // Never null.
    static AppServices* instance() { return s_installed ? s_installed : defaultServices(); }
    // Installs the application's services; null puts the silent default back. The caller keeps ownership.
    static void install(AppServices* services) { s_installed = services; }

    // --- user feedback ---------------------------------------------------------------------------------
    virtual void showTips(int style, const QString& message) { (void)style, (void)message; }
    virtual void startLoading(int timeMs) { (void)timeMs; }
    virtual void startLoading() {}
    virtual void stopLoading() {}
    virtual void startWarning(int type) { (void)type; }
    // The DPI value tip, shown at once for its own three seconds.
    virtual void showSetCpiTips(int value) { (void)value; }
    // Takes a device warning down (a device was opened or closed).
    virtual void stopWarning() {}
    // A device could not be opened: the warning names it, the system's reason and what to do.
    virtual void showOpenFailure(const QString& message) { (void)message; }
    virtual void sendEvent(const QString& category, const QString& action, const QString& label)
    {
        (void)category, (void)action, (void)label;
    }

    // The user's analytics switch; off until the application says otherwise.
    virtual bool analyticsEnabled() const { return false; }
    // The model name of the connected device; empty when none is.
    virtual QString connectedModelName() const { return QString(); }
    // Starts usage analytics when the user allows it; a non-empty agentInfo (the model's name, after a
    // reconnection) is set first.
    virtual void startAnalytics(const QString& agentInfo) { (void)agentInfo; }

    // --- the current profile, as the application model holds it ------------------------------------------
    // Its file name ("Default configuration.json"), not a path; empty when none is chosen.
    virtual QString getConfigPath() const { return QString(); }
    // Makes the profile the settings keep for the current device's product id the current one (empty when
    // they keep none); called when a device opens, once its product id is known.
    virtual void useRememberedProfile() {}
    // With write true makes fileName the current profile and has it stored for the device.
    virtual void setMouseConfig(const QString& fileName, bool write) { (void)fileName, (void)write; }
    // After a successful device write: one section of the device's state (a profile section code; key -1
    // when the section is not one key's) goes into the current profile of the current device model, which
    // is created first when it is missing. The profile controller reports the outcome.
    virtual void saveProfileSection(int section, int key) { (void)section, (void)key; }
    // The settings' switch that keeps program updates from being offered; false until the application says.
    virtual bool getDisableUpdate() const { return false; }
    // The user interface's language as the settings hold it ("zh" or "en"); empty until the application says.
    virtual QString getLanguage() const { return QString(); }
    // The account's login token as the settings hold it; empty when no one is logged in. Never logged.
    virtual QString getToken() const { return QString(); }
    // A successful login: stores the user name, nickname and token and marks the user logged in.
    virtual void storeLogin(const QString& username, const QString& nickname, const QString& token)
    {
        (void)username, (void)nickname, (void)token;
    }

    // --- objects owned by the UI manager and the application manager (null when none exists) ------------
    virtual KConfigFileController* getConfigFileController() const { return nullptr; }
    virtual HConfigView* getConfigView() const { return nullptr; }
    virtual HMacroName* getMacroName() const { return nullptr; }
    virtual HMacroType* getMacroType() const { return nullptr; }
    virtual KImageModel* getImageModel() const { return nullptr; }
    virtual KKeyModel* getKeyModel() const { return nullptr; }
    virtual KLightModel* getLightModel() const { return nullptr; }
    virtual FKeyLightModel* getKeyLightModel() const { return nullptr; }
    virtual KDpiModel* getDpiModel() const { return nullptr; }
    virtual KReportModel* getReportModel() const { return nullptr; }
    virtual FOledModel* getOledModel() const { return nullptr; }
    virtual FBattreyModel* getBattreyModel() const { return nullptr; }
    virtual HEquipmentList* getEquipmentList() const { return nullptr; }

    // Connects the device controller's signals to the models handed out here (models/DeviceModelLinks.h).
    virtual void linkDeviceController(KDeviceController* controller) { (void)controller; }

    // --- the user interface's scale (1.0 until the application sets one) --------------------------------
    virtual float uiScale() const { return 1.0f; }
    // A length of the device picture at scale 1.0, as the interface draws it.
    int scaleLength(int length) const { return UiScale::scaleLength(uiScale(), length); }

private:
    static AppServices* defaultServices()
    {
        static AppServices silent;
        return &silent;
    }
    static inline AppServices* s_installed = nullptr;
};
