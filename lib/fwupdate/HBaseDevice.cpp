#include "HBaseDevice.h"

#include "common/ProgramFolders.h"
#include "platform/process/ProcessControl.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>

HBaseDevice::HBaseDevice(QObject* parent)
    : QObject(parent)
{
}

HBaseDevice::~HBaseDevice() = default;

bool HBaseDevice::copyFile(const QFileInfo& source, const QFileInfo& target, bool overwrite)
{
    if (source.filePath().isEmpty() || source.filePath().endsWith(QLatin1Char('/'))) {
        qDebug() << "copyfile error 1";
        return false;
    }
    if (target.filePath().isEmpty() || target.filePath().endsWith(QLatin1Char('/'))) {
        qDebug() << "copyfile error 2";
        return false;
    }
    if (!QFileInfo(target.absolutePath()).isReadable() && !QDir().mkpath(target.absolutePath())) {
        qDebug() << "copyfile error 3";
        return false;
    }
    if (!target.exists())
        return QFile::copy(source.filePath(), target.filePath());
    if (!overwrite) {
        qDebug() << "copyfile error 4";
        return false;
    }
    if (!QFile::remove(target.filePath())) {
        qDebug() << "copyfile error 5";
        return false;
    }
    return QFile::copy(source.filePath(), target.filePath());
}

bool HBaseDevice::removeFile(const QFileInfo& file)
{
    if (!file.exists())
        return false;
    return QFile::remove(file.absoluteFilePath());
}

int HBaseDevice::findProcessId(const wchar_t* exeName)
{
    const qint64 pid = exeName ? Platform::findProcessId(QString::fromWCharArray(exeName)) : 0;
    qDebug() << "processID:" << pid;
    return int(pid);
}

bool HBaseDevice::killProcess(int processId)
{
    return Platform::killProcess(processId);
}

void HBaseDevice::setFirmwarePath(const QString& folder)
{
    m_firmwarePath = folder;
}

void HBaseDevice::cancel()
{
}

bool HBaseDevice::startElevated(const QString& program, qint64* processId)
{
    if (processId)
        *processId = 0;
    switch (Platform::processLauncher()->startElevated(program, processId)) {
    case Platform::StartError::None:
        return true;
    case Platform::StartError::PathNotFound:
        qDebug() << "error path not found";
        emit sig_fwUpdateRequest(2, QStringLiteral("exePath not found"));
        return false;
    case Platform::StartError::AccessDenied:
        qDebug() << "error access denied";
        emit sig_fwUpdateRequest(2, QStringLiteral("exe access denied"));
        return false;
    case Platform::StartError::FileNotFound:
        qDebug() << "error file not found";
        emit sig_fwUpdateRequest(2, QStringLiteral("exe not found"));
        return false;
    case Platform::StartError::Declined:
    case Platform::StartError::Other:
        break;
    }
    return false;
}

bool HBaseDevice::waitForProgram(qint64 processId, int* exitCode)
{
    const Platform::ProcessExit end = Platform::processLauncher()->waitForExit(processId);
    if (exitCode)
        *exitCode = end.crashed ? -1 : end.exitCode;
    return !end.crashed && end.exitCode == 0;
}

bool HBaseDevice::runFlashTool(const QString& program, int* exitCode)
{
    if (exitCode)
        *exitCode = -1;
    qint64 processId = 0;
    if (!startElevated(program, &processId))
        return false;
    waitForProgram(processId, exitCode);
    endProcessByName(QFileInfo(program).fileName());
    return true;
}

void HBaseDevice::releaseProgram(qint64 processId)
{
    Platform::processLauncher()->release(processId);
}

void HBaseDevice::endProcessByName(const QString& exeName)
{
    const std::wstring name = exeName.toStdWString();
    // Every copy of the program, not only the first one found.
    for (int round = 0; round < 16; ++round) {
        const int pid = findProcessId(name.c_str());
        if (pid == 0)
            return;
        if (!killProcess(pid)) {
            qDebug() << "KillProcess " + exeName + " error";
            return;
        }
    }
}

QString HBaseDevice::programFolder()
{
    return ProgramFolders::programFolder();
}
