#include "app/KAppCommon.h"

#include <QStandardPaths>

KAppCommon* KAppCommon::instance()
{
    static KAppCommon common;
    return &common;
}

KAppCommon::KAppCommon() = default;

QString KAppCommon::configLocation() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString KAppCommon::getMSConfigFolderPath() const
{
    return configLocation() + QStringLiteral("/config");
}

QString KAppCommon::getMacroFolderPath() const
{
    return configLocation() + QStringLiteral("/macro");
}
