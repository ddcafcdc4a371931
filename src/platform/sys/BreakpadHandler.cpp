#include "platform/sys/BreakpadHandler.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>

BreakpadHandler* BreakpadHandler::instance()
{
    static BreakpadHandler handler;
    return &handler;
}

void BreakpadHandler::setDumpPath(const QString& path)
{
    QString folder = path;
    if (QDir::isRelativePath(folder))
        folder = QCoreApplication::applicationDirPath() + QLatin1Char('/') + folder;
    folder = QDir::cleanPath(folder);
    QDir().mkpath(folder);
    if (!QDir(folder).exists()) {
        qDebug("Failed to set dump path which not exists: %s", qUtf8Printable(folder));
        return;
    }
    m_dumpPath = folder;
}
