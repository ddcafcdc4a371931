#include "models/device/FKeyLightModelItem.h"

#include <utility>

FKeyLightModelItem::FKeyLightModelItem(QObject* parent)
    : QObject(parent)
{
}

FKeyLightModelItem::FKeyLightModelItem(int key, int brightness, QString color, QObject* parent)
    : QObject(parent), m_key(key), m_brightness(brightness), m_color(std::move(color))
{
}

FKeyLightModelItem::FKeyLightModelItem(const FKeyLightModelItem& other)
    : QObject(nullptr), m_key(other.m_key), m_brightness(other.m_brightness), m_color(other.m_color)
{
}

FKeyLightModelItem& FKeyLightModelItem::operator=(const FKeyLightModelItem& other)
{
    m_key = other.m_key;
    m_brightness = other.m_brightness;
    m_color = other.m_color;
    return *this;
}

FKeyLightModelItem::~FKeyLightModelItem() = default;

void FKeyLightModelItem::setKey(int key, bool notify)
{
    m_key = key;
    if (notify)
        emit keyChanged();
}

void FKeyLightModelItem::setBrightness(int brightness, bool notify)
{
    m_brightness = brightness;
    if (notify)
        emit brightnessChanged();
}

void FKeyLightModelItem::setColor(QString color, bool notify)
{
    m_color = std::move(color);
    if (notify)
        emit colorChanged();
}
