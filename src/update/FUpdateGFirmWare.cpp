#include "update/FUpdateGFirmWare.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "platform/process/ProcessControl.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

const QString FUpdateGFirmWare::kProgramName = QStringLiteral("Tessaly");

namespace {

void sendEvent(const char* label)
{
    AppServices::instance()->sendEvent(QLatin1String(AnalyticsEvents::kDeviceFirmware),
                                       QLatin1String(AnalyticsEvents::kFirmwareUpdate), QLatin1String(label));
}

} // namespace

FUpdateGFirmWare::FUpdateGFirmWare(QObject* parent)
    : QObject(parent)
    , m_deadline(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        if (!m_server || m_socket)
            return;
        qDebug() << "update program did not connect in time";
        finish(UpdateProtocol::Failed);
    });
    m_updateDeadline = new QTimer(this);
    m_updateDeadline->setSingleShot(true);
    connect(m_updateDeadline, &QTimer::timeout, this, [this] {
        if (!m_server)
            return;
        qDebug() << "[Error] the update did not end within its deadline";
        finish(UpdateProtocol::Failed);
    });
}

FUpdateGFirmWare::~FUpdateGFirmWare()
{
    releaseServer();
}

void FUpdateGFirmWare::setConnectDeadline(int ms)
{
    m_deadlineMs = ms > 0 ? ms : kConnectDeadlineMs;
}

void FUpdateGFirmWare::setUpdateDeadline(int ms)
{
    m_updateDeadlineMs = ms > 0 ? ms : kUpdateDeadlineMs;
}

void FUpdateGFirmWare::setDownloadUrl(QString url)
{
    m_downloadUrl = url;
}

qint64 FUpdateGFirmWare::findProcessId(const QString& name)
{
    const qint64 id = Platform::findProcessId(name);
    qDebug() << "processID:" << id;
    return id;
}

bool FUpdateGFirmWare::killProcess(qint64 processId)
{
    return Platform::killProcess(processId);
}

bool FUpdateGFirmWare::Sorrel(const QString& name)
{
    for (int round = 0; round < kEndRounds; ++round) {
        const qint64 id = findProcessId(name);
        if (id == 0)
            return true;
        qDebug() << "getprocesspid success";
        qDebug() << "mProcessId:" << id;
        if (killProcess(id))
            return true;
        qDebug() << "killProcess error";
        Platform::sleepMs(kEndRetryMs);
    }
    return false;
}

void FUpdateGFirmWare::stateUpdateFirm(QString type)
{
    // One update at a time: the pages start one and wait for its result.
    if (m_server) {
        qDebug() << "an update is running; ignored:" << type;
        return;
    }
    if (!Sorrel(kProgramName)) {
        qDebug() << "Sorrel error";
        emit sigUpdateRequest(UpdateProtocol::Failed);
        return;
    }
    mouseType = type;
    qDebug() << "device:" << mouseType;
    m_reader = UpdateProtocol::StatusReader();
    m_socket = nullptr;
    m_clients.clear();
    m_candidates.clear();
    // A token for this run alone: only the program started now can read it.
    m_token = UpdateProtocol::newToken();
    m_tokenFile = UpdateProtocol::writeTokenFile(m_token);
    if (m_tokenFile.isEmpty()) {
        qDebug() << "[Error] the update program's token could not be written";
        emit sigUpdateRequest(UpdateProtocol::Failed);
        return;
    }

    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &FUpdateGFirmWare::server_New_Connect);
    if (!startListen()) {
        // Tessaly could never connect: start nothing and tell the page.
        releaseServer();
        emit sigUpdateRequest(UpdateProtocol::Failed);
        return;
    }
    if (!startUpdateProgram())
        return;
    m_deadline->start(m_deadlineMs);
}

bool FUpdateGFirmWare::startListen()
{
    if (m_server->listen(QHostAddress::LocalHost, UpdateProtocol::port())) {
        qDebug() << "listening client";
        return true;
    }
    qDebug() << "error listen" << m_server->errorString();
    return false;
}

bool FUpdateGFirmWare::startUpdateProgram()
{
    const QString path = ProgramFolders::programFolder() + QLatin1Char('/') + kProgramName;
    qDebug() << "szPath:" << path;
    qint64 pid = 0;
    const Platform::StartError error =
        Platform::processLauncher()->startElevated(
            path, {QStringLiteral("-log"), QLatin1String(UpdateProtocol::kTokenFileArgument), m_tokenFile}, &pid);
    if (error == Platform::StartError::None) {
        // Nobody waits for Tessaly: its end is collected in the background.
        Platform::processLauncher()->release(pid);
        return true;
    }
    emit sigUpdateRequest(UpdateProtocol::Failed);
    releaseServer();
    switch (error) {
    case Platform::StartError::PathNotFound:
        qDebug() << "error path not found";
        sendEvent(AnalyticsEvents::kPathFail);
        break;
    case Platform::StartError::AccessDenied:
        qDebug() << "error access denied";
        sendEvent(AnalyticsEvents::kAccessFail);
        break;
    case Platform::StartError::FileNotFound:
        qDebug() << "error file not found";
        sendEvent(AnalyticsEvents::kFileFail);
        break;
    case Platform::StartError::Declined:
        qDebug() << "error_cancelled";
        sendEvent(AnalyticsEvents::kCancelledFail);
        break;
    default:
        break;
    }
    return false;
}

void FUpdateGFirmWare::server_New_Connect()
{
    if (!m_server)
        return;
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        // The program has proved itself: no other peer gets a job or is heard.
        if (m_socket) {
            refuse(socket, "a further connection");
            continue;
        }
        if (m_candidates.size() >= kMaxCandidates) {
            refuse(socket, "too many connections that have not proved themselves");
            continue;
        }
        // Heard only until its first line: the token, or it is refused.
        m_candidates.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readProof(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (m_candidates.remove(socket))
                socket->deleteLater();
        });
    }
}

void FUpdateGFirmWare::refuse(QTcpSocket* socket, const char* why)
{
    qDebug().noquote() << "[Error] update connection refused (" + QLatin1String(why) + "):"
                       << socket->peerAddress().toString() << socket->peerPort();
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
}

void FUpdateGFirmWare::readProof(QTcpSocket* socket)
{
    if (!m_server || m_socket || !m_candidates.contains(socket))
        return;
    QByteArray& line = m_candidates[socket];
    line += socket->read(UpdateProtocol::kMaxProofLine - line.size());
    if (!line.contains('\n') && line.size() < UpdateProtocol::kMaxProofLine)
        return; // the rest of the first line is on its way
    const bool proved = UpdateProtocol::provesToken(line, m_token);
    m_candidates.remove(socket);
    if (!proved) {
        refuse(socket, "no token of the update program");
        return;
    }
    // The program started for this update: it alone gets the job, and the token is spent.
    disconnect(socket, nullptr, this, nullptr);
    for (auto it = m_candidates.begin(); it != m_candidates.end(); it = m_candidates.erase(it))
        refuse(it.key(), "the update program has connected");
    dropTokenFile();
    m_deadline->stop();
    m_server->close();
    m_socket = socket;
    m_clients.append(socket);
    qDebug() << "connect:" << socket;
    m_updateDeadline->start(m_updateDeadlineMs);
    writeStartLine();
    connect(socket, &QTcpSocket::readyRead, this, &FUpdateGFirmWare::readData);
    connect(socket, &QTcpSocket::disconnected, this, &FUpdateGFirmWare::disConnected);
    // Whatever came after the proof line is no status message: the job was not sent yet.
    socket->readAll();
}

void FUpdateGFirmWare::dropTokenFile()
{
    if (!m_tokenFile.isEmpty())
        QFile::remove(m_tokenFile);
    m_tokenFile.clear();
}

void FUpdateGFirmWare::writeStartLine()
{
    const QByteArray line =
        UpdateProtocol::jobLine(mouseType, AppServices::instance()->getLanguage(), m_downloadUrl);
    m_socket->write(line);
    if (m_socket->waitForBytesWritten(kWriteWaitMs))
        qDebug() << "write success";
    else
        qDebug() << "write error";
}

void FUpdateGFirmWare::readData()
{
    for (const QPointer<QTcpSocket>& socket : m_clients) {
        // After the end nothing counts, whatever is still in flight.
        if (!m_server)
            return;
        if (!socket)
            continue;
        const QByteArray bytes = socket->readAll();
        if (bytes.isEmpty())
            continue;
        qDebug() << "buffer:" << bytes.size();
        const QString peer = socket->peerAddress().toString();
        if (peer != m_lastPeer) {
            m_lastPeer = peer;
            qDebug() << "Ip:" << peer;
        }
        const UpdateProtocol::StatusReader::Reading reading = m_reader.read(bytes);
        for (const auto& step : reading.progress)
            emit sigProgress(step.first, step.second);
        qDebug().noquote() << "[Info] " + reading.text;
        if (reading.result != UpdateProtocol::NoResult)
            finish(reading.result);
    }
}

void FUpdateGFirmWare::disConnected()
{
    qDebug() << "disconnected";
    for (int i = m_clients.size() - 1; i >= 0; --i) {
        if (!m_clients.at(i) || m_clients.at(i)->state() != QAbstractSocket::ConnectedState)
            m_clients.removeAt(i);
    }
    if (m_server)
        finish(UpdateProtocol::Failed);
    if (m_socket)
        disconnect(m_socket, &QTcpSocket::readyRead, this, &FUpdateGFirmWare::readData);
}

void FUpdateGFirmWare::finish(int result)
{
    m_deadline->stop();
    m_updateDeadline->stop();
    emit sigUpdateRequest(result);
    endProgram();
    sendEvent(AnalyticsEvents::kSuccess);
    releaseServer();
    if (result == UpdateProtocol::Failed)
        AppServices::instance()->showTips(AppServices::TipFail, tr("updateFirm fail"));
}

void FUpdateGFirmWare::endProgram()
{
    if (killProcess(findProcessId(kProgramName)))
        return;
    // Already gone counts as ended; one that would not go gets more rounds.
    if (findProcessId(kProgramName) == 0)
        return;
    sendEvent(AnalyticsEvents::kKillFail);
    if (!Sorrel(kProgramName))
        qDebug() << "Sorrel error";
}

void FUpdateGFirmWare::releaseServer()
{
    if (!m_server)
        return;
    QTcpServer* server = m_server;
    m_server = nullptr;
    server->close();
    server->deleteLater();
    dropTokenFile();
    m_token.clear();
    for (auto it = m_candidates.begin(); it != m_candidates.end(); it = m_candidates.erase(it)) {
        disconnect(it.key(), nullptr, this, nullptr);
        it.key()->abort();
        it.key()->deleteLater();
    }
    for (const QPointer<QTcpSocket>& socket : m_clients) {
        if (socket)
            disconnect(socket, nullptr, this, nullptr);
    }
}

void FUpdateGFirmWare::slot_progress(int value, int totleValue)
{
    qDebug() << "value:" << value << "totleValue:" << totleValue;
}
