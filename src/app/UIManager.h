#pragma once

#include <QObject>

class HAnalytics;
class HConfigView;
class HLoadDialog;
class HMacroName;
class HMacroType;
class HSuspension;
class HWarningDialog;

// Owns one object of each user-interface model for the program's lifetime and hands them out through its
// getters; program code reaches a model only through here.
class UIManager : public QObject
{
    Q_OBJECT
public:
    explicit UIManager(QObject* parent = nullptr);
    ~UIManager() override;

    HMacroType* getMacroType() const { return m_macroType; }
    HMacroName* getMacroName() const { return m_macroName; }
    HLoadDialog* getLoadDialog() const { return m_loadDialog; }
    HSuspension* getSuspension() const { return m_suspension; }
    HWarningDialog* getWarningDialog() const { return m_warningDialog; }
    HAnalytics* getAnalytics() const { return m_analytics; }
    HConfigView* getConfigView() const { return m_configView; }

private:
    HMacroType* m_macroType = nullptr;
    HMacroName* m_macroName = nullptr;
    HLoadDialog* m_loadDialog = nullptr;
    HSuspension* m_suspension = nullptr;
    HWarningDialog* m_warningDialog = nullptr;
    HAnalytics* m_analytics = nullptr;
    HConfigView* m_configView = nullptr;
};
