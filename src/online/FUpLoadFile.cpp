#include "online/FUpLoadFile.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "online/CloudArchive.h"
#include "online/CloudDevice.h"
#include "online/FNetSaveConfigInfo.h"
#include "online/KNetUploadConfig.h"
#include "profiles/FileHelpers.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

FUpLoadFile::FUpLoadFile(QObject* parent)
    : QObject(parent),
      profileUpload(std::make_unique<KNetUploadConfig>()),
      profileSaveInfo(std::make_unique<FNetSaveConfigInfo>()),
      macroUpload(std::make_unique<KNetUploadConfig>()),
      macroSaveInfo(std::make_unique<FNetSaveConfigInfo>())
{
    connect(profileUpload.get(), &KNetUploadConfig::sigUploadFileRet, this, &FUpLoadFile::slot_upLoadMouseConfigResult);
    connect(profileSaveInfo.get(), &FNetSaveConfigInfo::sigRequestFinished, this,
            &FUpLoadFile::slot_upLoadMouseConfigPathResult);
    connect(macroUpload.get(), &KNetUploadConfig::sigUploadFileRet, this, &FUpLoadFile::slot_upLoadMacroResult);
    connect(macroSaveInfo.get(), &FNetSaveConfigInfo::sigRequestFinished, this,
            &FUpLoadFile::slot_upLoadMacroPathResult);
}

FUpLoadFile::~FUpLoadFile()
{
    releaseArchive();
}

void FUpLoadFile::setTimeouts(int postMs, int uploadMs)
{
    profileSaveInfo->setTimeouts(postMs, 0);
    macroSaveInfo->setTimeouts(postMs, 0);
    profileUpload->setUploadTimeout(uploadMs);
    macroUpload->setUploadTimeout(uploadMs);
}

void FUpLoadFile::uploadCloud()
{
    if (m_running) {
        qDebug() << "[Info] uploadCloud: a backup is running already";
        return;
    }
    m_running = true;
    m_deviceName = CloudDevice::name();
    // Without a device there is no device folder: the profile root itself must not go up in its place.
    if (m_deviceName.isEmpty()) {
        fail(tr("Failed to compress configuration file"));
        return;
    }
    sendArchive(CloudDevice::profileFolder(m_deviceName), true);
}

bool FUpLoadFile::sendArchive(const QString& folder, bool profile)
{
    const QString path = CloudArchive::pack(folder);
    if (path.isEmpty()) {
        fail(profile ? tr("Failed to compress configuration file") : tr("Failed to compress macro file"));
        return false;
    }
    archive = new QFile(path);
    if (fileSize(QFileInfo(path)) >= KNetUploadConfig::kMaxArchiveBytes) {
        releaseArchive();
        fail(tr("The uploaded configuration file cannot be greater than 1m"));
        return false;
    }
    KNetUploadConfig* upload = profile ? profileUpload.get() : macroUpload.get();
    // An archive that cannot be read would go out empty: the step fails instead.
    if (!archive->open(QIODevice::ReadOnly) || !upload->uploadCurrentConfig(archive, profile)) {
        releaseArchive();
        fail(profile ? tr("Failed to upload configuration information") : tr("Failed to upload macro configuration"));
        return false;
    }
    return true;
}

void FUpLoadFile::releaseArchive()
{
    if (!archive)
        return;
    archive->close();
    archive->remove();
    delete archive;
    archive = nullptr;
}

bool FUpLoadFile::uploadAccepted(int code, const QString& msg, const QString& path, const QString& noPath)
{
    if (!m_running)
        return false;
    releaseArchive();
    if (code != 0) {
        fail(msg);
        return false;
    }
    if (path.isEmpty()) {
        fail(noPath);
        return false;
    }
    return true;
}

void FUpLoadFile::slot_upLoadMouseConfigResult(int code, QString msg, QString path)
{
    if (uploadAccepted(code, msg, path, tr("Failed to upload configuration information")))
        profileSaveInfo->configInfo(path, m_deviceName, true);
}

void FUpLoadFile::slot_upLoadMouseConfigPathResult(int code, QString msg)
{
    if (!m_running)
        return;
    if (code != 0) {
        fail(msg);
        return;
    }
    const QString macros = ProgramFolders::macroRoot();
    if (dirSize(QDir(macros), true) == 0) {
        succeed(tr("Uploading cloud configuration succeeded (no macro file uploaded)"));
        return;
    }
    sendArchive(macros, false);
}

void FUpLoadFile::slot_upLoadMacroResult(int code, QString msg, QString path)
{
    if (!uploadAccepted(code, msg, path, tr("Failed to upload macro configuration")))
        return;
    macroSaveInfo->configInfo(path, QString(), false);
    sendEvent(AnalyticsEvents::kSuccess);
}

void FUpLoadFile::slot_upLoadMacroPathResult(int code, QString msg)
{
    if (!m_running)
        return;
    if (code != 0) {
        fail(msg);
        return;
    }
    succeed(tr("Successfully uploaded cloud configuration"));
}

void FUpLoadFile::sendEvent(const char* label)
{
    AppServices::instance()->sendEvent(AnalyticsEvents::kDriverCloud, AnalyticsEvents::kUpload,
                                       QString::fromLatin1(label));
}

void FUpLoadFile::fail(const QString& message)
{
    m_running = false;
    releaseArchive();
    sendEvent(AnalyticsEvents::kFail);
    AppServices::instance()->showTips(AppServices::TipFail, message);
    emit sig_finish();
}

void FUpLoadFile::succeed(const QString& message)
{
    m_running = false;
    sendEvent(AnalyticsEvents::kSuccess);
    AppServices::instance()->showTips(AppServices::TipSuccess, message);
    emit sig_finish();
}
