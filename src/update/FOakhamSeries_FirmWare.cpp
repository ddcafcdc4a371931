#include "update/FOakhamSeries_FirmWare.h"

#include "update/FlashToolProcess.h"

#include "common/ProgramFolders.h"
#include "firmware/FlashToolFiles.h"
#include "profiles/FileHelpers.h"

#include <QDebug>

FOakhamSeries_FirmWare::FOakhamSeries_FirmWare(QObject* parent)
    : QObject(parent)
{
}

FOakhamSeries_FirmWare::~FOakhamSeries_FirmWare() = default;

void FOakhamSeries_FirmWare::start(const QString& model)
{
    m_model = model;
    const QString base = ProgramFolders::programFolder();
    const QString source = base + QStringLiteral("/Update/Local/") + model;
    m_toolFolder = base + FlashToolFiles::oakhamToolFolder();
    for (const QString& file : FlashToolFiles::oakhamFiles())
        copyFile(QFileInfo(source + file), QFileInfo(m_toolFolder + file), true);

    delete m_process;
    m_process = FlashToolProcess::create(this, QStringLiteral("started the  process"),
                                                [this] { emit sigUpdateRequest(FlashToolProcess::kNotStarted); });
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &FOakhamSeries_FirmWare::slot_vSeriesProcessFinished);
    FlashToolProcess::start(m_process, m_toolFolder, QStringLiteral("Flintor.exe"));
    qDebug() << "UpdateMouseDialog::slot_runUpdateExe" << m_toolFolder;
}

void FOakhamSeries_FirmWare::slot_vSeriesProcessFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    for (const QString& file : FlashToolFiles::oakhamFiles())
        removeFile(QFileInfo(m_toolFolder + file));
    emit sigUpdateRequest(FlashToolProcess::resultCode(exitCode, exitStatus));
}
