#include "HRushtonSeries.h"

#include "ModelPidMap.h"

#include <QDebug>

HRushtonSeries::HRushtonSeries(QObject* parent)
    : HBaseDevice(parent)
{
    connect(this, &HRushtonSeries::sig_HRushtonSeriesFinished, this, &HRushtonSeries::slot_HRushtonSeriesFinished);
}

bool HRushtonSeries::startUpdate(int* pid, QString fileName)
{
    Q_UNUSED(fileName)
    m_model = ModelPidMap::modelName(pid ? *pid : 0);
    const QString folder = firmwarePath().isEmpty() ? programFolder() + QStringLiteral("/Update/Local/") + m_model
                                                    : firmwarePath();
    int exitCode = -1;
    if (!runFlashTool(folder + QStringLiteral("/VeldtUpdataOnce.exe"), &exitCode)) {
        qDebug() << "error OakhamSeries firmwareUpdate";
        return false;
    }
    emit sig_HRushtonSeriesFinished(exitCode);
    return true;
}

void HRushtonSeries::slot_HRushtonSeriesFinished(int exitCode)
{
    qDebug() << "Rushton UpdateFw finished";
    if (exitCode == 0)
        emit sig_fwUpdateRequest(0, QStringLiteral("RushtonSeries refresh success!"));
    else
        emit sig_fwUpdateRequest(2, QStringLiteral("RushtonSeries refresh error!"));
}
