#include "online/FDownLoadFile.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "models/keys/HMacroName.h"
#include "online/CloudArchive.h"
#include "online/CloudDevice.h"
#include "online/FfileDownloader.h"
#include "online/KNetDownloadConfig.h"
#include "profiles/FileHelpers.h"
#include "profiles/HConfigView.h"
#include "profiles/KConfigFileController.h"
#include "profiles/OldMacroConverter.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFutureWatcher>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Archives come from the web: a location of another kind (a local file among them) is no download.
bool isWebLocation(const QString& path)
{
    const QUrl url(path, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// Unpacks a downloaded archive over folder; runs on the unpacking thread.
bool unpackArchive(const QByteArray& archive, const QString& folder, const CloudArchive::Limits& limits)
{
    qDebug() << "[Info] unpacking the archive over" << folder;
    QString why;
    if (!CloudArchive::unpack(archive, folder, limits, &why)) {
        qDebug() << "[Error] the archive is refused:" << why;
        return false;
    }
    return true;
}

} // namespace

FDownLoadFile::FDownLoadFile(QObject* parent)
    : QObject(parent),
      profileRequest(std::make_unique<KNetDownloadConfig>()),
      macroRequest(std::make_unique<KNetDownloadConfig>()),
      profileDownloader(std::make_unique<FfileDownloader>(nullptr)),
      macroDownloader(std::make_unique<FfileDownloader>(nullptr))
{
    // Archives have limits of their own: at most kMaxArchiveDownload, within the archive deadline.
    ReplyGuard::Limits limits = ReplyGuard::limits(ReplyGuard::Kind::Archive);
    limits.maxBytes = qMin(limits.maxBytes, kMaxArchiveDownload);
    profileDownloader->setLimits(limits);
    macroDownloader->setLimits(limits);
    // One archive at a time, and the object waits for it when it goes.
    m_unpacking.setMaxThreadCount(1);
    connect(profileRequest.get(), &KNetDownloadConfig::sigDownloadRequest, this, &FDownLoadFile::slot_DownloadMouseConfig);
    connect(macroRequest.get(), &KNetDownloadConfig::sigDownloadRequest, this, &FDownLoadFile::slot_DownloadMacroConfig);
    connect(profileDownloader.get(), &FfileDownloader::downloaded, this, &FDownLoadFile::slot_DownloadMouseloader);
    connect(macroDownloader.get(), &FfileDownloader::downloaded, this, &FDownLoadFile::slot_DownloadMacroloader);
    connect(this, &FDownLoadFile::sigConfigChanged, this, &FDownLoadFile::slot_UpDateMouseConfig);
}

FDownLoadFile::~FDownLoadFile()
{
    m_unpacking.waitForDone();
}

void FDownLoadFile::unpackDownload(const FfileDownloader& downloader, bool macros, std::function<void(bool)> done)
{
    if (!downloader.succeeded()) {
        qDebug() << "[Error] the archive was not downloaded";
        done(false);
        return;
    }
    // Off the GUI thread: a large archive takes seconds to check and write. The macro files are converted
    // there too; only the result comes back.
    CloudArchive::Limits limits;
    limits.maxPerFolder = macros ? KConfigFileController::kMaxMacroEntries : KConfigFileController::kMaxProfiles;
    if (!macros)
        limits.countedSuffix = QStringLiteral(".json");
    const QString folder = macros ? ProgramFolders::macroRoot() : CloudDevice::profileFolder(m_deviceName);
    auto* watcher = new QFutureWatcher<bool>(this);
    connect(watcher, &QFutureWatcher<bool>::finished, this, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(&m_unpacking, [archive = downloader.fileData(), folder, limits, macros] {
        if (!unpackArchive(archive, folder, limits))
            return false;
        if (macros)
            convertMacroFolder(folder);
        return true;
    }));
}

void FDownLoadFile::setTimeouts(int postMs, int transferMs)
{
    profileRequest->setTimeouts(postMs, 0);
    macroRequest->setTimeouts(postMs, 0);
    ReplyGuard::Limits limits = ReplyGuard::limits(ReplyGuard::Kind::Archive);
    limits.maxBytes = qMin(limits.maxBytes, kMaxArchiveDownload);
    if (transferMs > 0) {
        // The whole transfer within a few windows of the progress floor.
        limits.windowMs = transferMs;
        limits.deadlineMs = 4 * transferMs;
    }
    profileDownloader->setLimits(limits);
    macroDownloader->setLimits(limits);
}

void FDownLoadFile::downloadCloud()
{
    if (m_running) {
        qDebug() << "[Info] downloadCloud: a restore is running already";
        return;
    }
    m_running = true;
    m_deviceName = CloudDevice::name();
    // Without a device the profile root would stand for the device's folder: nothing is asked or touched.
    if (m_deviceName.isEmpty()) {
        fail(tr("Error in file path"), true);
        return;
    }
    macroRequest->downloadConfig(QString());
}

void FDownLoadFile::slot_DownloadMacroConfig(int coad, QString msg, QString path)
{
    if (!m_running)
        return;
    if (coad != 0) {
        qDebug() << "[error]:download macro file error";
        fail(msg, true);
        return;
    }
    if (path.isEmpty()) {
        requestProfileArchive();
        return;
    }
    if (!isWebLocation(path)) {
        qDebug() << "[error]:save macrofile error";
        fail(tr("Failed to download macro file"), false);
        return;
    }
    macroDownloader->startDownload(path);
}

void FDownLoadFile::slot_DownloadMacroloader()
{
    if (!m_running)
        return;
    unpackDownload(*macroDownloader, true, [this](bool unpacked) {
        if (!m_running)
            return;
        if (!unpacked) {
            qDebug() << "[error]:save macrofile error";
            fail(tr("Failed to download macro file"), false);
            return;
        }
        if (HMacroName* names = AppServices::instance()->getMacroName())
            names->initFromFile(QString(), true);
        requestProfileArchive();
    });
}

void FDownLoadFile::requestProfileArchive()
{
    profileRequest->downloadConfig(m_deviceName);
}

void FDownLoadFile::slot_DownloadMouseConfig(int code, QString msg, QString path)
{
    if (!m_running)
        return;
    if (code != 0) {
        qDebug() << "[error]: download mouseconfig error";
        fail(msg, true);
        return;
    }
    if (path.isEmpty()) {
        fail(tr("Please upload the file before downloading"), true);
        return;
    }
    if (!isWebLocation(path)) {
        qDebug() << "[error]:save configfile error";
        fail(tr("Failed to download device configuration file"), true);
        return;
    }
    profileDownloader->startDownload(path);
}

void FDownLoadFile::slot_DownloadMouseloader()
{
    if (!m_running)
        return;
    unpackDownload(*profileDownloader, false, [this](bool unpacked) {
        if (!m_running)
            return;
        if (!unpacked) {
            qDebug() << "[error]:save configfile error";
            fail(tr("Failed to download device configuration file"), true);
            return;
        }
        sendEvent(AnalyticsEvents::kSuccess);
        emit sigConfigChanged();
    });
}

void FDownLoadFile::slot_UpDateMouseConfig()
{
    if (!m_running)
        return;
    const QString folder = CloudDevice::profileFolder(m_deviceName);
    if (!dirExists(folder)) {
        fail(tr("Error in file path"), true);
        return;
    }
    if (QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files | QDir::NoSymLinks).isEmpty()) {
        fail(tr("No upload profile"), true);
        return;
    }
    // The settings name the current profile: only a file of the device's own folder is applied.
    const QString current = AppServices::instance()->getConfigPath();
    const QString profile = folder + QLatin1Char('/') + current;
    if (!isBareName(current) || !isInsideFolder(profile, folder)) {
        qDebug() << "[Error] the current profile is no file of the device's folder:" << current;
        fail(tr("Error in file path"), true);
        return;
    }
    KConfigFileController* controller = AppServices::instance()->getConfigFileController();
    // Another device came in the meantime: the profiles restored are not its own.
    if (!controller || CloudDevice::name() != m_deviceName) {
        fail(tr("Failed to synchronize profile"), false);
        return;
    }

    AppServices::instance()->startLoading(kLoadingMs);
    const KConfigFileController::ProfileApply apply = controller->profileApply(profile, false);
    work.run(apply.work, [this, profile, shown = apply.shown](bool ok) {
        AppServices* app = AppServices::instance();
        shown();
        if (!ok) {
            app->stopLoading();
            fail(tr("Failed to synchronize profile"), false);
            return;
        }
        if (KConfigFileController* controller = app->getConfigFileController())
            controller->getMouseType(profile);
        sendEvent(AnalyticsEvents::kSuccess);
        app->showTips(AppServices::TipSuccess, tr("Successfully downloaded cloud configuration"));
        if (HConfigView* view = app->getConfigView()) {
            view->initFromFile(QString());
            emit view->getItemIndexAgain();
        }
        m_running = false;
        emit sigchangeUi();
        app->stopLoading();
    });
}

void FDownLoadFile::convertMacroFolder(const QString& path)
{
    if (path.isEmpty() || !dirExists(path))
        return;
    QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        // -1 is a file of the current format, left as it is.
        if (convertOldMacroFile(it.next()) == 0)
            qDebug() << "tranJson error";
    }
}

void FDownLoadFile::sendEvent(const char* label)
{
    AppServices::instance()->sendEvent(AnalyticsEvents::kDriverCloud, AnalyticsEvents::kDownload,
                                       QString::fromLatin1(label));
}

void FDownLoadFile::fail(const QString& message, bool withEvent)
{
    m_running = false;
    if (withEvent)
        sendEvent(AnalyticsEvents::kFail);
    AppServices::instance()->showTips(AppServices::TipFail, message);
    emit sig_finish();
}
