#include "update/KUpdater.h"

#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "firmware/FirmwareFile.h"
#include "hid/KDeviceController.h"
#include "models/device/KImageModel.h"
#include "online/KNetCommon.h"
#include "update/HHttpDownload.h"

#include <QDebug>
#include <QNetworkReply>

namespace {

// One address for the whole program: the last version answer's, whichever query asked.
QString& programDownloadUrl()
{
    static QString url;
    return url;
}

struct Kind {
    int kind;
    QStringList models;
};

const QList<Kind>& kinds()
{
    static const QList<Kind> table = {
        {1, {"DUNMOR", "HARLO", "IVELL", "GARRICK", "KINLOCH", "LORRIM"}},
        {2, {"FARRANT", "GADSBY", "ICKWOR", "YARRIN", "ABBERLY", "ZENNOR", "KELHAM"}},
        {3, {"SELWIN", "TAMSIN", "VARLO", "WENDAL", "EDRIS"}},
        {4, {"ULVERD", "ULVERD_LOW"}},
        {5, {"MALDON", "NESBIT", "JESSAM", "DALLOW"}},
        {6, {"QUENBY-8A"}},
    };
    return table;
}

QString currentModel()
{
    KImageModel* image = AppServices::instance()->getImageModel();
    return image ? image->deviceName() : QString();
}

} // namespace

KUpdater::KUpdater(QObject* parent)
    : KNetBase(parent)
    , m_downloader(this)
{
    connect(&m_downloader, &FfileDownloader::downloaded, this, &KUpdater::slot_savefile);
    connect(this, &KNetBase::requestTimedOut, this, [this] {
        emit sigReturnVersion(-1, tr("Network connection error, please try later"), QString(), QString());
    });
}

KUpdater::~KUpdater() = default;

void KUpdater::setSelfUpdater(HHttpDownload* selfUpdater)
{
    disconnect(m_handOver);
    m_handOver = {};
    m_selfUpdater = selfUpdater;
}

int KUpdater::modelKind(const QString& model)
{
    for (const Kind& kind : kinds()) {
        if (kind.models.contains(model))
            return kind.kind;
    }
    return -1;
}

QString KUpdater::targetPath(int kind, const QString& model, const QString& device)
{
    const QString folder = ProgramFolders::programFolder();
    const QString local = QStringLiteral("Update/Local");
    switch (kind) {
    case 1:
        return QStringLiteral("%1/%2/%3").arg(folder, local + QLatin1Char('/') + model, "new_version/newFirmware.MTP");
    case 2:
        return QStringLiteral("%1/%2/%3").arg(folder, local + QLatin1Char('/') + model, "Nuc123.bin");
    case 3:
        return QStringLiteral("%1/%2/%3").arg(folder, local + QLatin1Char('/') + model, "Ashdown.mtp");
    case 4:
        return QStringLiteral("%1/%2/%3").arg(folder, local + QLatin1Char('/') + model, "new_version/boot.bin");
    case 5:
        return QStringLiteral("%1/%2/%3%4").arg(folder, local + QLatin1Char('/') + device, model, "_Update.zip");
    case 6:
        return QStringLiteral("%1/%2/%3").arg(folder, local + QLatin1Char('/') + device, "ParrowDown.exe");
    default:
        return QString();
    }
}

void KUpdater::askVersion(const QString& versionType)
{
    qDebug() << "versionType:" << versionType;
    postJson(DriverVersion, QJsonObject{{QStringLiteral("versionType"), versionType}});
}

void KUpdater::getSoftwareVersion(QString versionType)
{
    askVersion(versionType + QStringLiteral("-test-software"));
}

void KUpdater::getFirmVersion(QString versionType)
{
    if (versionType == QLatin1String("QUENBY-8A"))
        askVersion(QStringLiteral("QUENBY-8A-test-firmware"));
    else
        askVersion(versionType + QStringLiteral("-firmware"));
}

QString KUpdater::getDownLoadUrl()
{
    return programDownloadUrl();
}

void KUpdater::handleReply(QNetworkReply* reply, QByteArray body, int)
{
    // Every answer replaces the address; only one of success brings a new one: a refused answer's address
    // (or version) is never handed on.
    programDownloadUrl().clear();
    if (reply->error() != QNetworkReply::NoError)
        KNetCommon::instance()->checkOnline();
    const Envelope envelope = parseEnvelope(reply, body);
    if (envelope.code != 0) {
        emit sigReturnVersion(envelope.code, codeMessage(envelope.code), QString(), QString());
        return;
    }
    const QString version = envelope.data.value(QStringLiteral("version")).toString();
    const QString url = envelope.data.value(QStringLiteral("downloadUrl")).toString();
    programDownloadUrl() = url;
    emit sigReturnVersion(envelope.code, codeMessage(envelope.code), version, url);
}

void KUpdater::slot_StartUpdateFirmWare()
{
    if (programDownloadUrl().isEmpty()) {
        emit sig_DownLoadFinish(true);
        return;
    }
    // Never more than the file it is for may hold.
    const QString model = currentModel();
    const int kind = modelKind(model);
    ReplyGuard::Limits limits = ReplyGuard::limits(ReplyGuard::Kind::Firmware);
    if (kind >= 0) {
        const QString path = targetPath(kind, model, KDeviceController::instance()->mouse());
        limits.maxBytes = qMin(limits.maxBytes, FirmwareFile::ruleFor(path).maxBytes);
    }
    m_downloader.setLimits(limits);
    m_downloader.startDownload(programDownloadUrl());
}

bool KUpdater::slot_StartUpdateSortWare()
{
    if (programDownloadUrl().isEmpty() || !m_selfUpdater)
        return false;
    // The self-updater downloads the address handed over, not one of its own earlier answers.
    if (!m_handOver) {
        m_handOver = connect(this, &KUpdater::sig_SortDownLoad, m_selfUpdater.data(), [this](const QString& url) {
            if (!m_selfUpdater)
                return;
            m_selfUpdater->setDownloadUrl(url);
            m_selfUpdater->downloadFile();
        });
    }
    emit sig_SortDownLoad(programDownloadUrl());
    return true;
}

void KUpdater::downloadFailed()
{
    AppServices::instance()->showTips(AppServices::TipFail, tr("Failed to download configuration file"));
    emit sig_DownLoadFinish(false);
}

void KUpdater::slot_savefile()
{
    const QString model = currentModel();
    const int kind = modelKind(model);
    if (kind < 0) {
        qDebug() << "slot_savefile error";
        emit sig_DownLoadFinish(true);
        return;
    }
    const QString path = targetPath(kind, model, KDeviceController::instance()->mouse());
    const QByteArray bytes = m_downloader.fileData();
    // An error page or a redirect is no firmware, whatever its length; neither is an answer that is no file
    // of the target's kind. The file there is replaced only by one that passes.
    if (!m_downloader.succeeded() || bytes.size() < kMinimumFirmwareBytes) {
        downloadFailed();
        return;
    }
    QString error;
    const FirmwareFile::Verdict verdict = FirmwareFile::save(path, bytes, &error);
    if (verdict != FirmwareFile::Verdict::Accepted) {
        qDebug() << "the firmware is not saved:" << path << FirmwareFile::describe(verdict) << error;
        downloadFailed();
        return;
    }
    emit sig_DownLoadFinish(true);
}
