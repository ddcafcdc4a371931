#include "models/device/KDpiModel.h"

KDpiModel::KDpiModel(QObject* parent)
    : QObject(parent)
{
}

KDpiModel::~KDpiModel() = default;

void KDpiModel::setEnable(const QVector<bool>& enable)
{
    m_enable = enable;
    emit enableChanged();
}

void KDpiModel::setValues(const QVector<int>& values)
{
    for (int i = 0; i < values.size(); ++i) {
        if (values.at(i) != 0)
            continue;
        if (i >= m_enable.size())
            m_enable.resize(i + 1);
        m_enable[i] = false;
        emit enableChanged();
    }
    m_values = values;
    m_values.resize(qMax(0, m_number));
}
