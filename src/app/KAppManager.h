#pragma once

#include <QObject>

class KConfigFileController;
class UIManager;

// The application manager: runs the start of the program and is afterwards the way from any subsystem to
// the UI manager and the profile controller (KAppManager::instance()->getUIManager()->...).
class KAppManager : public QObject
{
    Q_OBJECT
public:
    static KAppManager* instance();

    // The first start step: program identity and the UI manager. True also when called again.
    bool init();

    // Null before init().
    UIManager* getUIManager() const { return m_uiManager; }
    KConfigFileController* getConfigFileController() const { return m_configFileController; }

private:
    KAppManager();
    ~KAppManager() override;

    bool m_initialised = false;
    UIManager* m_uiManager = nullptr;
    KConfigFileController* m_configFileController = nullptr;
};
