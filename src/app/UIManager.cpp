#include "app/UIManager.h"

UIManager::UIManager(QObject* parent)
    : QObject(parent)
{
}

UIManager::~UIManager() = default;
