#include "update/HHttpDownload.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "firmware/FirmwareFile.h"
#include "models/device/KImageModel.h"
#include "platform/process/ProcessControl.h"
#include "online/ReplyGuard.h"
#include "profiles/FileHelpers.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

const QString HHttpDownload::kSorrelName = QStringLiteral("Sorrel");

namespace {

const char kCloseIndexProperty[] = "corvaneCloseIndex";

std::function<void()>& exitHook()
{
    static std::function<void()> hook;
    return hook;
}

QString currentDeviceName()
{
    KImageModel* image = AppServices::instance()->getImageModel();
    return image ? image->deviceName() : QString();
}

} // namespace

HHttpDownload::HHttpDownload(QObject* parent)
    : KNetBase(parent)
{
    connect(&qnam, &QNetworkAccessManager::sslErrors, this, &HHttpDownload::sslErrors);
    connect(this, &KNetBase::requestTimedOut, this, [this] {
        emit sigReturnVersion(-1, tr("Network connection error, please try later"), QString(), QString(), false);
    });
    connect(this, &HHttpDownload::sig_CancelSortDownLoad, this, &HHttpDownload::cancelDownload);
}

HHttpDownload::~HHttpDownload()
{
    if (reply) {
        httpRequestAborted = true;
        reply->abort();
    }
}

void HHttpDownload::setExitHook(std::function<void()> hook)
{
    exitHook() = std::move(hook);
}

void HHttpDownload::getSoftwareVersion(QString version, bool state)
{
    // Each answer carries the mark of its own question: the silent check at start and a page's check may be
    // on their way at once.
    QNetworkReply* reply =
        postJson(DriverVersion, QJsonObject{{QStringLiteral("versionType"), version + QStringLiteral("-software")}});
    if (reply)
        reply->setProperty(kCloseIndexProperty, state);
}

void HHttpDownload::getSoftwareVersion(QString version)
{
    getSoftwareVersion(version, false);
}

void HHttpDownload::handleReply(QNetworkReply* versionReply, QByteArray body, int)
{
    const bool closeIndex = versionReply->property(kCloseIndexProperty).toBool();
    const Envelope envelope = parseEnvelope(versionReply, body);
    const QString message = codeMessage(envelope.code);
    emit sigRequestFinished(envelope.code, message);
    // Only an answer of success names an installer: a refused answer's address is never downloaded.
    m_downloadUrl.clear();
    if (envelope.code != 0) {
        emit sigReturnVersion(envelope.code, message, QString(), QString(), closeIndex);
        return;
    }
    const QString version = envelope.data.value(QStringLiteral("version")).toString();
    m_downloadUrl = envelope.data.value(QStringLiteral("downloadUrl")).toString();
    emit sigReturnVersion(envelope.code, message, version, m_downloadUrl, closeIndex);
}

void HHttpDownload::downloadFile()
{
    // One download at a time: a second would share the file and the reply.
    if (reply) {
        qDebug() << "a download is running; ignored";
        return;
    }
    if (m_downloadUrl.isEmpty()) {
        failBeforeStart(QStringLiteral("no installer address"));
        return;
    }
    url = QUrl::fromUserInput(m_downloadUrl);
    if (!url.isValid()) {
        AppServices::instance()->showTips(AppServices::TipFail,
                                          tr("Invalid URL: %1 : %2").arg(m_downloadUrl, url.errorString()));
        failBeforeStart(QStringLiteral("invalid address"));
        return;
    }

    const QString name = url.fileName();
    const QString folder =
        QStringLiteral("%1%2%3").arg(ProgramFolders::updateRoot(), QLatin1Char('/') + currentDeviceName(),
                                     QStringLiteral("/sort_version"));
    // The server names the file: only a bare name is joined to the folder. An address without one names no
    // installer at all.
    if (!isBareName(name)) {
        failBeforeStart(QStringLiteral("the address names no installer file: ") + url.toDisplayString());
        return;
    }
    if (!QFileInfo(folder).isDir()) {
        const bool made = QDir().mkpath(folder);
        qDebug() << "mkdir:" << folder << made;
    }
    fileName = folder + QLatin1Char('/') + name;
    // Written beside its place and put there only when whole: an installer that lay there stays until then.
    file = new QSaveFile(fileName);
    if (!QFileInfo(folder).isDir() || !file->open(QIODevice::WriteOnly)) {
        const QString why = QStringLiteral("Unable to save the file %1: %2.")
                                .arg(QDir::toNativeSeparators(fileName), file->errorString());
        delete file;
        file = nullptr;
        failBeforeStart(why);
        return;
    }

    QNetworkRequest request(url);
    reply = qnam.get(request);
    httpRequestAborted = false;
    progressValue = 0;
    progressMaxValue = 0;
    emit progressValueChanged();
    emit progressMaxValueChanged();
    // Streamed into the file as it arrives, within the installer's size and time.
    ReplyGuard* guard = ReplyGuard::watch(reply, ReplyGuard::limits(ReplyGuard::Kind::Installer), file);
    connect(guard, &ReplyGuard::finished, this, [this, guard] { httpFinished(guard); });
    connect(reply, &QNetworkReply::downloadProgress, this, &HHttpDownload::slot_SaveProgress);
}

void HHttpDownload::failBeforeStart(const QString& why)
{
    qDebug().noquote() << "[Error] the update is not downloaded:" << why;
    progressValue = 0;
    emit progressValueChanged();
    // Told from the event loop: the progress popup opens right after it asked for the download, and hears it.
    QMetaObject::invokeMethod(this, &HHttpDownload::sig_SortFinished, Qt::QueuedConnection);
    AppServices::instance()->sendEvent(QLatin1String(AnalyticsEvents::kDriverSoftware),
                                       QLatin1String(AnalyticsEvents::kSoftwareUpdateFailed),
                                       QLatin1String(AnalyticsEvents::kFail));
}

void HHttpDownload::cancelDownload()
{
    if (!reply)
        return;
    httpRequestAborted = true;
    reply->abort();
}

void HHttpDownload::slot_SaveProgress(qlonglong bytesRead, qlonglong totalBytes)
{
    progressValue = int(qMin<qlonglong>(bytesRead, INT_MAX));
    progressMaxValue = int(qMin<qlonglong>(totalBytes, INT_MAX));
    emit progressValueChanged();
    emit progressMaxValueChanged();
}

void HHttpDownload::releaseReply()
{
    reply->deleteLater();
    reply = nullptr;
}

void HHttpDownload::httpFinished(ReplyGuard* guard)
{
    if (!reply || guard->parent() != reply)
        return;
    const QString path = fileName;
    // A redirect, an error page, a body over the size limit or a transfer out of time is no installer.
    bool failed = !guard->succeeded();
    // An installer is a program this system starts; a page or a message answered with success is none, and it
    // never takes the place of one.
    if (!failed && !FirmwareFile::startsAsProgram(guard->head())) {
        qDebug() << "[Error] the download is no program:" << guard->head().left(16);
        failed = true;
    }
    if (file) {
        if (failed || httpRequestAborted)
            file->cancelWriting();
        else if (!file->commit())
            failed = true;
        delete file;
        file = nullptr;
    }
    if (failed && !httpRequestAborted) {
        // The bytes that came are thrown away: the progress says so before it ends.
        progressValue = 0;
        emit progressValueChanged();
    }
    emit sig_SortFinished();

    if (httpRequestAborted) {
        releaseReply();
        return;
    }
    if (failed) {
        qDebug().noquote() << "download failed:" << guard->describe();
        releaseReply();
        AppServices::instance()->sendEvent(QLatin1String(AnalyticsEvents::kDriverSoftware),
                                           QLatin1String(AnalyticsEvents::kSoftwareUpdateFailed),
                                           QLatin1String(AnalyticsEvents::kFail));
        return;
    }
    releaseReply();
    AppServices::instance()->sendEvent(QLatin1String(AnalyticsEvents::kDriverSoftware),
                                       QLatin1String(AnalyticsEvents::kSoftwareUpdate),
                                       QLatin1String(AnalyticsEvents::kSuccess));

    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!shellRun(QStringLiteral("runas"), path)) {
        // Without a running installer, ending the program would leave the user with none.
        AppServices::instance()->showTips(AppServices::TipFail, tr("The update installer could not be started"));
        return;
    }
    const QString sorrel = QStringLiteral("%1%2").arg(ProgramFolders::programFolder(), QLatin1Char('/') + kSorrelName);
    qDebug() << "open:" << sorrel;
    shellRun(QStringLiteral("open"), sorrel);
    killQtProcess();
}

bool HHttpDownload::shellRun(const QString& operation, const QString& path)
{
    qint64 pid = 0;
    const Platform::StartError error = Platform::processLauncher()->startElevated(path, {}, &pid);
    switch (error) {
    case Platform::StartError::None:
        qDebug() << operation << "started:" << path;
        Platform::processLauncher()->release(pid);
        return true;
    case Platform::StartError::FileNotFound:
        qDebug() << operation << "The specified file was not found:" << path;
        break;
    case Platform::StartError::PathNotFound:
        qDebug() << operation << "The specified path was not found:" << path;
        break;
    case Platform::StartError::AccessDenied:
        qDebug() << operation << "Access to the file was denied:" << path;
        break;
    case Platform::StartError::Declined:
        qDebug() << operation << "The user declined the start:" << path;
        break;
    case Platform::StartError::Other:
        qDebug() << operation << "The file could not be started:" << path;
        break;
    }
    return false;
}

void HHttpDownload::killQtProcess()
{
    if (exitHook()) {
        exitHook()();
        return;
    }
    // The log file is written line by line; what the standard streams hold goes out before the end.
    std::fflush(nullptr);
    ::_exit(0);
}

void HHttpDownload::sslErrors(QNetworkReply*, QList<QSslError> errors)
{
    QStringList texts;
    for (const QSslError& error : errors)
        texts << error.errorString();
    AppServices::instance()->showTips(AppServices::TipFail,
                                      tr("One or more SSL errors has occurred: %1").arg(texts.join(QLatin1Char('\n'))));
}
