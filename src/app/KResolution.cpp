#include "app/KResolution.h"

#include "common/UiScale.h"

KResolution::KResolution(QObject* parent)
    : QObject(parent)
{
}

int KResolution::getScaleLength(int length) const
{
    return UiScale::scaleLength(m_scale, length);
}
