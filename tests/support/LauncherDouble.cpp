#include "LauncherDouble.h"

#include <QDir>

LauncherDouble::LauncherDouble()
    : m_previous(Platform::processLauncher())
{
    Platform::setProcessLauncher(this);
}

LauncherDouble::~LauncherDouble()
{
    Platform::setProcessLauncher(nullptr);
}

QStringList LauncherDouble::programs() const
{
    QMutexLocker lock(&m_mutex);
    return m_programs;
}

QStringList LauncherDouble::folders() const
{
    QMutexLocker lock(&m_mutex);
    return m_folders;
}

Platform::StartError LauncherDouble::startElevated(const QString& program, const QStringList& arguments,
                                                  qint64* pid)
{
    {
        QMutexLocker lock(&m_mutex);
        m_programs.append(program);
        m_folders.append(QDir::currentPath());
    }
    if (m_decline) {
        if (pid)
            *pid = 0;
        return Platform::StartError::Declined;
    }
    return m_previous->startElevated(program, arguments, pid);
}

Platform::ProcessExit LauncherDouble::waitForExit(qint64 pid)
{
    return m_previous->waitForExit(pid);
}

void LauncherDouble::release(qint64 pid)
{
    m_previous->release(pid);
}
