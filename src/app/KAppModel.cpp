#include "app/KAppModel.h"

#include <QDebug>

KAppModel* KAppModel::instance()
{
    static KAppModel model;
    return &model;
}

KAppModel::KAppModel() = default;

void KAppModel::setConfigPath(const QString& configPath)
{
    m_configPath = configPath;
    emit configPathChanged();
}

void KAppModel::setMouseConfig(QString path, bool write)
{
    if (write) {
        m_configPath = path;
        emit configPathChanged();
        emit sig_SaveConfig();
    }
    qDebug() << "configPath:" << m_configPath;
}
