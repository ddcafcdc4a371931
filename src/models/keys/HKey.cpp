#include "models/keys/HKey.h"

HKey::HKey(QObject* parent)
    : QObject(parent)
{
}

HKey::HKey(const int& key, bool extended, bool isDown, QObject* parent)
    : QObject(parent), m_key(key), m_extended(extended), m_isDown(isDown)
{
}

void HKey::setIsDown(bool value, bool notify)
{
    m_isDown = value;
    if (notify)
        emit isDownChanged();
}
