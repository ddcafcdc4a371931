#include "update/FRushtonSeries_FirmWare.h"

#include "update/FlashToolProcess.h"

#include "common/ProgramFolders.h"

#include <QDebug>

FRushtonSeries_FirmWare::FRushtonSeries_FirmWare(QObject* parent)
    : QObject(parent)
    , m_process(FlashToolProcess::create(this, QStringLiteral("process running"),
                                                [this] { emit sigUpdateRequest(FlashToolProcess::kNotStarted); }))
{
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &FRushtonSeries_FirmWare::processFinish);
}

FRushtonSeries_FirmWare::~FRushtonSeries_FirmWare() = default;

void FRushtonSeries_FirmWare::runUpDateExe(const QString& model)
{
    const QString folder = ProgramFolders::programFolder() + QStringLiteral("/Update/Local/") + model;
    qDebug() << "runUpDateExe:" << folder + QStringLiteral("/VeldtUpdataOnce.exe");
    FlashToolProcess::start(m_process, folder, QStringLiteral("VeldtUpdataOnce.exe"));
}

void FRushtonSeries_FirmWare::timertoCloseProcess()
{
    if (m_process->state() == QProcess::Running)
        m_process->kill();
}

void FRushtonSeries_FirmWare::processFinish(int exitCode, QProcess::ExitStatus exitStatus)
{
    qDebug() << exitCode << exitStatus;
    emit sigUpdateRequest(FlashToolProcess::resultCode(exitCode, exitStatus));
}
