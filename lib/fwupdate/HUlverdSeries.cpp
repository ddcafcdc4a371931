#include "HUlverdSeries.h"

#include "ModelPidMap.h"

#include "firmware/FlashToolFiles.h"

#include <QDebug>
#include <QDir>

HUlverdSeries::HUlverdSeries(QObject* parent)
    : HBaseDevice(parent)
{
    connect(this, &HUlverdSeries::sig_HUlverdSeriesFinished, this, &HUlverdSeries::slot_HUlverdSeriesFinished);
}

bool HUlverdSeries::startUpdate(int* pid, QString fileName)
{
    Q_UNUSED(fileName)
    m_model = ModelPidMap::modelName(pid ? *pid : 0);
    const QString base = programFolder();
    const QString source = base + QStringLiteral("/Update/Local/") + m_model;
    const QString tool = base + FlashToolFiles::ulverdToolFolder();
    qDebug() << "update path";

    const QList<FlashToolFiles::RuntimeFile> runtime = FlashToolFiles::ulverdRuntime();
    for (const FlashToolFiles::RuntimeFile& file : runtime) {
        const QString name = QLatin1String(file.name);
        if (!copyFile(QFileInfo(base + name), QFileInfo(tool + name), true)) {
            emit sig_fwUpdateRequest(2, QLatin1String(file.failure));
            return false;
        }
    }
    for (const auto& file : FlashToolFiles::ulverdFiles()) {
        if (!copyFile(QFileInfo(source + file.first), QFileInfo(tool + file.second), true)) {
            emit sig_fwUpdateRequest(2, QStringLiteral("Ulverdseries copyfile error!"));
            return false;
        }
    }

    const QString program = tool + QStringLiteral("/Flintorne.exe");
    qDebug() << "exePath:" << program;
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(tool)) {
        qDebug() << "Brennaseries setCurrent error!";
        emit sig_fwUpdateRequest(2, QStringLiteral("Oakhamseries setCurrent error!"));
        return false;
    }
    qDebug() << "mPath:" << program;
    int exitCode = -1;
    const bool started = runFlashTool(program, &exitCode);
    qDebug() << "bRes:" << started;
    if (!started)
        qDebug() << "error BrennaSeries firmwareUpdate";

    for (const auto& file : FlashToolFiles::ulverdFiles()) {
        if (!removeFile(QFileInfo(tool + file.second)) && file.second == QStringLiteral("/boot.bin"))
            qDebug() << "deleteFile error";
    }
    for (const FlashToolFiles::RuntimeFile& file : runtime)
        removeFile(QFileInfo(tool + QLatin1String(file.name)));
    if (!QDir::setCurrent(previous.isEmpty() ? base : previous))
        qDebug() << "Brennaseries setCurrent error!";
    qDebug() << "upgradeSoftwarePath:" << tool;
    if (!started)
        return false;
    emit sig_HUlverdSeriesFinished(exitCode);
    return true;
}

void HUlverdSeries::slot_HUlverdSeriesFinished(int exitcode)
{
    qDebug() << "Ulverd UpdateFw finished";
    if (exitcode == 0)
        emit sig_fwUpdateRequest(0, QStringLiteral("UlverdSeries refresh success!"));
    else
        emit sig_fwUpdateRequest(2, QStringLiteral("UlverdSeries refresh error!"));
}
