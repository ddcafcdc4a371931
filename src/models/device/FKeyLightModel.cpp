#include "models/device/FKeyLightModel.h"

FKeyLightModel::FKeyLightModel(QObject* parent)
    : QObject(parent)
{
}

FKeyLightModel::~FKeyLightModel() = default;

void FKeyLightModel::setKeyLightList(const QVariantList& list, bool notify)
{
    m_keyLightList = list;
    if (notify)
        emit keyLightListChanged();
}

void FKeyLightModel::setMaxValue(int value)
{
    m_maxValue = value;
    emit maxValueChanged();
}

void FKeyLightModel::setMinValue(int value)
{
    m_minValue = value;
    emit minValueChanged();
}

void FKeyLightModel::setCurrentColor(const QString& color)
{
    m_currentColor = color;
    emit currentColorChanged();
}
