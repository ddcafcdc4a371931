#include "MainWindow.h"

#include "Mirelle.h"

#include "firmware/FirmwareFile.h"
#include "online/FfileDownloader.h"
#include "platform/process/ProcessControl.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHash>
#include <QHostAddress>
#include <QSet>
#include <QTcpSocket>

namespace {

constexpr int kConnectWaitMs = 1000;
constexpr int kWriteWaitMs = 30000;

const QStringList& nordicBaseNames()
{
    static const QStringList names = {"KELHAM_NORDIC", "NESBIT", "DALLOW", "JESSAM", "JARROW_NORDIC", "LYDFORD",
                                      "HEBDEN", "BALSOM", "CORLIS", "ELWIN", "BRACKLY"};
    return names;
}

const QSet<QString>& nordicList()
{
    static const QSet<QString> list = [] {
        QSet<QString> out;
        for (const QString& name : nordicBaseNames()) {
            out.insert(name);
            out.insert(name + QStringLiteral("_WIRELESS"));
        }
        return out;
    }();
    return list;
}

const QSet<QString>& hollisList()
{
    static const QSet<QString> list = {"QUENBY_8A", "QUENBYRGB", "HARLO_Hollis", "DUNMOR_Hollis"};
    return list;
}

const QHash<QString, QString>& firmwareFiles()
{
    static const QHash<QString, QString> files = {
        {"JARROW_NORDIC", "JARROW_Update.zip"}, {"KELHAM_NORDIC", "MALDON_Update.zip"},
        {"DALLOW", "DALLOW_Update.zip"},        {"JESSAM", "JESSAM_Update.zip"},
        {"QUENBY_8A", "QUENBY-8A_Update.exe"},  {"HARLO_Hollis", "HARLO_Update.exe"},
        {"DUNMOR_Hollis", "DUNMOR_Update.exe"}, {"NESBIT", "NESBIT_Update.zip"},
        {"QUENBYRGB", "QUENBYRGB_Update.exe"},  {"LYDFORD", "LYDFORD_Update.zip"},
        {"HEBDEN", "HEBDEN_Update.exe"},        {"BALSOM", "BALSOM_Update.exe"},
        {"CORLIS", "CORLIS_Update.exe"},        {"ELWIN", "ELWIN_Update.exe"},
        {"BRACKLY", "BRACKLY_Update.exe"},
    };
    return files;
}

struct Alias {
    const char* received;
    const char* used;
};

constexpr Alias kAliases[] = {
    {"JARROW", "JARROW_NORDIC"}, {"MALDON", "KELHAM_NORDIC"}, {"QUENBY-8A", "QUENBY_8A"},
    {"QUENBY-RGB", "QUENBYRGB"}, {"ZEPHRA", "QUENBY_8A"},
};

// The download series of the models that are no list's: the file below the series folder.
struct Series {
    int code;
    QStringList models;
    const char* file;
};

const QList<Series>& seriesTable()
{
    static const QList<Series> table = {
        {1, {"DUNMOR", "HARLO", "IVELL", "GARRICK", "KINLOCH", "LORRIM"}, "new_version/newFirmware.MTP"},
        {2, {"FARRANT", "GADSBY", "ICKWOR", "YARRIN", "ABBERLY", "ZENNOR", "KELHAM"}, "Nuc123.bin"},
        {3, {"SELWIN", "TAMSIN", "VARLO", "WENDAL", "EDRIS"}, "Ashdown.mtp"},
        {4, {"ULVERD", "ULVERD_LOW"}, "new_version/boot.bin"},
    };
    return table;
}

} // namespace

MainWindow::MainWindow(const QByteArray& token, QWidget* parent)
    : QMainWindow(parent)
    , m_token(token)
{
    connectServer();
    m_downloader = new FfileDownloader(this);
    connect(m_downloader, &FfileDownloader::downloaded, this, &MainWindow::slot_savefile);
}

MainWindow::~MainWindow() = default;

bool MainWindow::killProcess(qint64 processId)
{
    return Platform::killProcess(processId);
}

QString MainWindow::mappedModel(const QString& received)
{
    for (const Alias& alias : kAliases) {
        if (received == QLatin1String(alias.received))
            return QLatin1String(alias.used);
    }
    return received;
}

QString MainWindow::firmwareFileName(const QString& model)
{
    return firmwareFiles().value(model);
}

bool MainWindow::isNordicModel(const QString& model)
{
    return nordicList().contains(model);
}

bool MainWindow::isHollisModel(const QString& model)
{
    return hollisList().contains(model);
}

int MainWindow::seriesCode(const QString& received, bool nordic, bool hollis)
{
    for (const Series& series : seriesTable()) {
        if (series.models.contains(received))
            return series.code;
    }
    if (nordic)
        return 5;
    if (hollis)
        return 6;
    return -1;
}

QString MainWindow::downloadTarget(const QString& received, const QString& used, const QString& fileName,
                                   bool nordic, bool hollis)
{
    const QString folder = applicationFolder() + QStringLiteral("/Update/Clouds/") + used;
    const int code = seriesCode(received, nordic, hollis);
    for (const Series& series : seriesTable()) {
        if (series.code == code)
            return folder + QLatin1Char('/') + QLatin1String(series.file);
    }
    // Nordic packages are saved under the name the library is given and looks for.
    if (code == 5)
        return folder + QLatin1Char('/') + (fileName.isEmpty() ? used + QStringLiteral("_Update.zip") : fileName);
    if (code == 6 && !fileName.isEmpty())
        return folder + QLatin1Char('/') + fileName;
    qDebug() << "[error]getMosueName:" << code;
    return QString();
}

QString MainWindow::applicationFolder()
{
    return QCoreApplication::applicationDirPath();
}

void MainWindow::connectServer()
{
    m_socket = new QTcpSocket(this);
    m_socket->abort();
    m_socket->connectToHost(QHostAddress::LocalHost, UpdateProtocol::port(), QIODevice::ReadWrite);
    if (m_socket->waitForConnected(kConnectWaitMs)) {
        qDebug() << "connect server";
        // The first line proves that Corvane started this program; without it no job comes.
        m_socket->write(UpdateProtocol::proofLine(m_token));
        m_socket->waitForBytesWritten(kWriteWaitMs);
    } else {
        qDebug() << "connect server error:" << m_socket->errorString();
    }
    connect(m_socket, &QTcpSocket::readyRead, this, &MainWindow::readData);
}

void MainWindow::readData()
{
    const QByteArray bytes = m_socket->readAll();
    // One job per connection: whatever else arrives is not a job.
    if (m_jobTaken || bytes.isEmpty()) {
        qDebug() << "ignored after the job:" << bytes.size() << "bytes";
        return;
    }
    m_jobTaken = true;
    const UpdateProtocol::Job job = UpdateProtocol::parseJob(bytes);
    mReceived = job.model;
    mText = job.model;
    mLanguage = job.language;
    mDownUrl = job.url;
    // The echo of the job goes out before the model is sorted, in the form of a model of no list; it is no end.
    send(UpdateProtocol::statusMessage(modelClass(), 1, QString::fromUtf8(bytes)));
    qDebug() << "mText:" << mText << "mLanguage:" << mLanguage << "mDownUrl" << mDownUrl;
    startUpdate();
}

bool MainWindow::startUpdate()
{
    m_mirelle = new Mirelle(this);
    connect(m_mirelle.data(), &Mirelle::qt_updateFinished, this, &MainWindow::slot_updateFinished);
    connect(m_mirelle.data(), &Mirelle::qt_updateProgress, this, &MainWindow::slot_progress);

    mFileName.clear();
    mText = mappedModel(mText);
    mFileName = firmwareFileName(mText);
    nordicFlag = isNordicModel(mText);
    if (!nordicFlag)
        hollisFlag = isHollisModel(mText);

    if (!mDownUrl.isEmpty()) {
        const QString target = downloadTarget(mReceived, mText, mFileName, nordicFlag, hollisFlag);
        if (target.isEmpty()) {
            sendStatus(-1, QLatin1String(UpdateProtocol::kDownloadFail));
            return false;
        }
        // Never more than the file it is for may hold, within a firmware download's time.
        ReplyGuard::Limits limits = ReplyGuard::limits(ReplyGuard::Kind::Firmware);
        limits.maxBytes = qMin(limits.maxBytes, FirmwareFile::ruleFor(target).maxBytes);
        m_downloader->setLimits(limits);
        m_downloader->startDownload(mDownUrl);
        return true;
    }
    return callLibrary(QString());
}

bool MainWindow::callLibrary(const QString& folder)
{
    if (!m_mirelle->initFwDevice(mText, mFileName, mLanguage, folder)) {
        sendStatus(-1, QLatin1String(UpdateProtocol::kInitError));
        qDebug() << "initFwDevice error!!";
        return false;
    }
    if (nordicFlag || hollisFlag)
        sendStatus(1, QLatin1String(UpdateProtocol::kUpdateStart));
    return true;
}

void MainWindow::slot_savefile()
{
    const QString target = downloadTarget(mReceived, mText, mFileName, nordicFlag, hollisFlag);
    const QByteArray bytes = m_downloader->fileData();
    // An error page or a redirect is no firmware, whatever its size.
    if (!m_downloader->succeeded() || bytes.size() < 100 || target.isEmpty()) {
        qDebug() << "download fail:" << m_downloader->failure() << bytes.size() << target;
        sendStatus(-1, QLatin1String(UpdateProtocol::kDownloadFail));
        return;
    }
    // Nor is an answer that is no file of the target's kind. Flashing an older file that happens to lie there
    // would be worse than stopping: the library is not called unless the download was saved.
    QString error;
    const FirmwareFile::Verdict verdict = FirmwareFile::save(target, bytes, &error);
    if (verdict != FirmwareFile::Verdict::Accepted) {
        qDebug() << "download fail:" << target << FirmwareFile::describe(verdict) << error;
        sendStatus(-1, QLatin1String(UpdateProtocol::kDownloadFail));
        return;
    }
    callLibrary(applicationFolder() + QStringLiteral("/Update/Clouds/") + QLatin1Char('/') + mText);
}

void MainWindow::slot_updateFinished(int code, QString msg)
{
    qDebug() << "code:" << code << "msg:" << msg;
    sendStatus(code, msg);
}

void MainWindow::slot_progress(int value, int totleValue)
{
    qDebug() << "value:" << value << "totleValue:" << totleValue;
    if (!m_ended)
        send(UpdateProtocol::progressMessage(modelClass(), value, totleValue));
}

UpdateProtocol::ModelClass MainWindow::modelClass() const
{
    if (nordicFlag)
        return UpdateProtocol::ModelClass::Nordic;
    if (hollisFlag)
        return UpdateProtocol::ModelClass::Hollis;
    return UpdateProtocol::ModelClass::Neither;
}

void MainWindow::sendStatus(int code, const QString& text)
{
    // One end message per job: a second result (a failure the library reported before refusing) says nothing
    // new to Corvane.
    if (m_ended)
        return;
    const QByteArray message = UpdateProtocol::statusMessage(modelClass(), code, text);
    if (message.isEmpty())
        return;
    if (UpdateProtocol::endResult(QString::fromLatin1(message).remove(QStringLiteral("\r\n")))
        != UpdateProtocol::NoResult)
        m_ended = true;
    send(message);
}

void MainWindow::send(const QByteArray& message)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(message);
    m_socket->waitForBytesWritten(kWriteWaitMs);
}
