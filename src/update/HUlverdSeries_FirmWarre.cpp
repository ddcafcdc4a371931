#include "update/HUlverdSeries_FirmWarre.h"

#include "update/FlashToolProcess.h"

#include "common/ProgramFolders.h"
#include "firmware/FlashToolFiles.h"
#include "profiles/FileHelpers.h"

#include <QDebug>

HUlverdSeries_FirmWarre::HUlverdSeries_FirmWarre(QObject* parent)
    : QObject(parent)
{
}

HUlverdSeries_FirmWarre::~HUlverdSeries_FirmWarre() = default;

void HUlverdSeries_FirmWarre::start(const QString& model)
{
    m_model = model;
    const QString base = ProgramFolders::programFolder();
    const QString source = base + QStringLiteral("/Update/Local/") + model;
    m_toolFolder = base + FlashToolFiles::ulverdToolFolder();
    qDebug() << "update path";
    for (const auto& file : FlashToolFiles::ulverdFiles())
        copyFile(QFileInfo(source + file.first), QFileInfo(m_toolFolder + file.second), true);

    delete m_process;
    m_process = FlashToolProcess::create(this, QStringLiteral("started processed:Flintorne.exe"),
                                                [this] { emit sigUpdateRequest(FlashToolProcess::kNotStarted); });
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &HUlverdSeries_FirmWarre::slot_ulverdSeriesProcessFinished);
    FlashToolProcess::start(m_process, m_toolFolder, QStringLiteral("Flintorne.exe"));
    qDebug() << "UpdateMouseDialog::slot_runUpdateExe";
}

void HUlverdSeries_FirmWarre::slot_ulverdSeriesProcessFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    for (const auto& file : FlashToolFiles::ulverdFiles())
        removeFile(QFileInfo(m_toolFolder + file.second));
    qDebug() << "Ulverd UpdateFw finished";
    emit sigUpdateRequest(FlashToolProcess::resultCode(exitCode, exitStatus));
}
