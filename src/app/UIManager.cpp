#include "app/UIManager.h"

#include "profiles/HConfigView.h"

#include "app/HLoadDialog.h"
#include "app/HSuspension.h"
#include "app/HWarningDialog.h"
#include "online/HAnalytics.h"

#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"

UIManager::UIManager(QObject* parent)
    : QObject(parent)
{
    m_configView = new HConfigView(this);
    m_macroType = new HMacroType(this);
    m_macroName = new HMacroName(this);
    m_loadDialog = new HLoadDialog(this);
    m_suspension = new HSuspension(this);
    m_warningDialog = new HWarningDialog(this);
    m_analytics = new HAnalytics(this);
}

UIManager::~UIManager() = default;
