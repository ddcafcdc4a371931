#include "update/HHttpDownload.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "models/device/KImageModel.h"
#include "platform/process/ProcessControl.h"
#include "profiles/FileHelpers.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <cstdio>
#include <unistd.h>

const QString HHttpDownload::kSorrelName = QStringLiteral("Sorrel");

namespace {

// A download that receives nothing for this long has stalled and fails.
constexpr int kTransferTimeoutMs = 30000;

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

// The silent check at start and the support page's check can be under way together (the start is slow on a busy
// machine): each answer is marked as the one its own request asked for, not as the latest asked.
void HHttpDownload::getSoftwareVersion(QString version, bool state)
{
    closeIndex = state;
    QNetworkReply* asked =
        postJson(DriverVersion, QJsonObject{{QStringLiteral("versionType"), version + QStringLiteral("-software")}});
    if (asked)
        asked->setProperty(kCloseIndexProperty, state);
}

void HHttpDownload::getSoftwareVersion(QString version)
{
    getSoftwareVersion(version, false);
}

void HHttpDownload::handleReply(QNetworkReply* versionReply, QByteArray body, int)
{
    const Envelope envelope = parseEnvelope(versionReply, body);
    const QString version = envelope.data.value(QStringLiteral("version")).toString();
    m_downloadUrl = envelope.data.value(QStringLiteral("downloadUrl")).toString();
    const QString message = codeMessage(envelope.code);
    emit sigRequestFinished(envelope.code, message);
    const QVariant asked = versionReply ? versionReply->property(kCloseIndexProperty) : QVariant();
    emit sigReturnVersion(envelope.code, message, version, m_downloadUrl, asked.isValid() ? asked.toBool() : closeIndex);
}

void HHttpDownload::downloadFile()
{
    // One download at a time: a second would share the file and the reply.
    if (reply) {
        qDebug() << "a download is running; ignored";
        return;
    }
    if (m_downloadUrl.isEmpty())
        return;
    url = QUrl::fromUserInput(m_downloadUrl);
    if (!url.isValid()) {
        AppServices::instance()->showTips(AppServices::TipFail,
                                          tr("Invalid URL: %1 : %2").arg(m_downloadUrl, url.errorString()));
        return;
    }

    const QString name = url.fileName();
    const QString folder =
        QStringLiteral("%1%2%3").arg(ProgramFolders::updateRoot(), QLatin1Char('/') + currentDeviceName(),
                                     QStringLiteral("/sort_version"));
    if (!QFileInfo(folder).isDir()) {
        const bool made = QDir().mkpath(folder);
        qDebug() << "mkdir:" << folder << made;
    }
    // The server names the file: only a bare name is joined to the folder.
    fileName = QFileInfo(folder).isDir() && isBareName(name) ? folder + QLatin1Char('/') + name : folder;
    QFile::remove(fileName);
    file = new QFile(fileName);
    if (fileName == folder || !file->open(QIODevice::WriteOnly)) {
        qDebug().noquote() << QStringLiteral("Unable to save the file %1: %2.")
                                  .arg(QDir::toNativeSeparators(fileName), file->errorString());
        delete file;
        file = nullptr;
        return;
    }

    QNetworkRequest request(url);
    request.setTransferTimeout(kTransferTimeoutMs);
    reply = qnam.get(request);
    httpRequestAborted = false;
    connect(reply, &QNetworkReply::finished, this, &HHttpDownload::httpFinished);
    connect(reply, &QIODevice::readyRead, this, &HHttpDownload::httpReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &HHttpDownload::slot_SaveProgress);
}

void HHttpDownload::cancelDownload()
{
    if (!reply)
        return;
    httpRequestAborted = true;
    reply->abort();
}

void HHttpDownload::httpReadyRead()
{
    // An aborted reply is closed and has nothing more to give.
    if (file && reply && reply->isReadable())
        file->write(reply->readAll());
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

void HHttpDownload::httpFinished()
{
    if (!reply)
        return;
    const QString path = fileName;
    if (file) {
        httpReadyRead();
        file->close();
        delete file;
        file = nullptr;
    }
    // A redirect or an error page is no installer, even when the transfer itself went well.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool failed = reply->error() != QNetworkReply::NoError || status < 200 || status > 299;
    if (failed && !httpRequestAborted) {
        // The bytes that came are thrown away: the progress says so before it ends.
        progressValue = 0;
        emit progressValueChanged();
    }
    emit sig_SortFinished();

    if (httpRequestAborted) {
        QFile::remove(path);
        releaseReply();
        return;
    }
    if (failed) {
        qDebug() << "download failed:" << reply->errorString() << status;
        QFile::remove(path);
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
