#pragma once

#include <QObject>

class HHttpDownload;
class KConfigFileController;
class KUpdater;
class KDeviceController;
class UIManager;

// The application manager: runs the start of the program after the single-instance check (init, then start)
// and is afterwards the way from any subsystem to the UI manager and the profile controller
// (KAppManager::instance()->getUIManager()->...). shutdown() ends it in order before the application object
// goes: device work drained, devices deleted, the QML engine, then the UI manager.
//
// Threads: GUI thread; instance() and the getters from any thread.
class KAppManager : public QObject
{
    Q_OBJECT
public:
    static KAppManager* instance();

    // Program identity, the profile controller, the UI manager with the QML engine and the context
    // properties. True also when called again.
    bool init();
    // Main window, tray icon and language, device detection. False before init.
    bool start();
    // The ordered end; safe to call more than once.
    void shutdown();

    // Null before init().
    UIManager* getUIManager() const { return m_uiManager; }
    KConfigFileController* getConfigFileController() const { return m_configFileController; }
    KUpdater* getUpdater() const { return m_updater; }
    HHttpDownload* getHttpDownload() const { return m_httpDownload; }

    // The context properties init adds to the UI manager's, in order.
    static QStringList contextPropertyNames();

public slots:
    // A second start of the program asked for the window.
    void messageReceived(QString message);

private:
    KAppManager();
    ~KAppManager() override;

    void loadApplicationFont();

    bool m_initialised = false;
    UIManager* m_uiManager = nullptr;
    KDeviceController* m_deviceController = nullptr;
    KConfigFileController* m_configFileController = nullptr;
    KUpdater* m_updater = nullptr;
    HHttpDownload* m_httpDownload = nullptr;
};
