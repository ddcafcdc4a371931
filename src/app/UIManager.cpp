#include "app/UIManager.h"

#include "models/keys/HMacroType.h"

UIManager::UIManager(QObject* parent)
    : QObject(parent)
{
    m_macroType = new HMacroType(this);
}

UIManager::~UIManager() = default;
