#include "update/FlashToolProcess.h"

#include <QDebug>

namespace FlashToolProcess {

QProcess* create(QObject* parent, const QString& startedLog, const std::function<void()>& notStarted)
{
    auto* process = new QProcess(parent);
    QObject::connect(process, &QProcess::started, process, [startedLog] { qDebug().noquote() << startedLog; });
    QObject::connect(process, &QProcess::errorOccurred, process, [notStarted](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            notStarted();
    });
    return process;
}

void start(QProcess* process, const QString& folder, const QString& program)
{
    process->setWorkingDirectory(folder);
    process->start(folder + QLatin1Char('/') + program, QStringList(), QIODevice::ReadWrite);
}

int resultCode(int exitCode, QProcess::ExitStatus status)
{
    return status == QProcess::CrashExit ? kNotStarted : exitCode;
}

} // namespace FlashToolProcess
