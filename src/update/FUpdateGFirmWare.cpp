#include "update/FUpdateGFirmWare.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/ProgramFolders.h"
#include "platform/process/ProcessControl.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
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
}

FUpdateGFirmWare::~FUpdateGFirmWare()
{
    releaseServer();
}

void FUpdateGFirmWare::setConnectDeadline(int ms)
{
    m_deadlineMs = ms > 0 ? ms : kConnectDeadlineMs;
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
        Platform::processLauncher()->startElevated(path, {QStringLiteral("-log")}, &pid);
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
        // The first connection is Tessaly's; no other peer gets a job or is heard.
        if (m_socket) {
            qDebug() << "a further connection is refused";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_deadline->stop();
        // No one else may connect from here on.
        m_server->close();
        m_socket = socket;
        m_clients.append(socket);
        qDebug() << "connect:" << socket;
        writeStartLine();
        connect(socket, &QTcpSocket::readyRead, this, &FUpdateGFirmWare::readData);
        connect(socket, &QTcpSocket::disconnected, this, &FUpdateGFirmWare::disConnected);
    }
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
    for (const QPointer<QTcpSocket>& socket : m_clients) {
        if (socket)
            disconnect(socket, nullptr, this, nullptr);
    }
}

void FUpdateGFirmWare::slot_progress(int value, int totleValue)
{
    qDebug() << "value:" << value << "totleValue:" << totleValue;
}
