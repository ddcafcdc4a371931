#pragma once

#include "update/UpdateProtocol.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;
class QTimer;

// Runs one firmware update for a page (QML type "FUpdateFirmware" of "k.tools"): ends a leftover update
// program, listens on the local update port (127.0.0.1 only), starts Tessaly with "-log" and "-token-file" (a
// file with a one-time token only this user can read), and hands the job line to the first connection whose
// first line proves that token; every other connection is refused and logged. Tessaly's status messages become
// sigProgress and exactly one sigUpdateRequest per update: 0 finished, 2 failed (also: the program could not be
// started, a leftover could not be ended, the port could not be opened, the program never proved itself within
// the connect deadline, the update passed its own deadline, or the connection dropped before an end),
// 3 download failed. After the result Tessaly is ended and the server closed; nothing that arrives later counts.
//
// Threads: GUI thread only.
class FUpdateGFirmWare : public QObject
{
    Q_OBJECT
public:
    // Tessaly's executable below the program folder, and the time it has to connect.
    static const QString kProgramName;
    static constexpr int kConnectDeadlineMs = 30000;
    // From the proof to the end: the download's own deadline and a flash well past any model's time.
    static constexpr int kUpdateDeadlineMs = 30 * 60000;
    // Connections heard at once before one proved itself; more are refused at once.
    static constexpr int kMaxCandidates = 8;
    static constexpr int kWriteWaitMs = 30000;
    static constexpr int kEndRounds = 3;
    static constexpr int kEndRetryMs = 500;

    explicit FUpdateGFirmWare(QObject* parent = nullptr);
    ~FUpdateGFirmWare() override;

    Q_INVOKABLE void stateUpdateFirm(QString mouseType);
    Q_INVOKABLE void setDownloadUrl(QString url);

    // The id of a running process of this user named name; 0 when none.
    static qint64 findProcessId(const QString& name);
    static bool killProcess(qint64 processId);
    // Makes sure no process of that name runs: up to three rounds, 500 ms apart; false when one is left.
    static bool Sorrel(const QString& name);

    // Tests: the connect deadline and the update's deadline; 0 puts the default back.
    void setConnectDeadline(int ms);
    void setUpdateDeadline(int ms);

signals:
    void sigUpdateRequest(int code);
    void sigProgress(int value, int totleValue);

public slots:
    void slot_progress(int value, int totleValue);

private slots:
    void server_New_Connect();
    void readProof(QTcpSocket* socket);
    void readData();
    void disConnected();

private:
    bool startListen();
    bool startUpdateProgram();
    void writeStartLine();
    void refuse(QTcpSocket* socket, const char* why);
    void dropTokenFile();
    // The one way an update ends: the result, Tessaly ended, the server released.
    void finish(int result);
    void endProgram();
    void releaseServer();

    QTcpServer* m_server = nullptr;
    QPointer<QTcpSocket> m_socket;
    QList<QPointer<QTcpSocket>> m_clients;
    QString mouseType;
    UpdateProtocol::StatusReader m_reader;
    QString m_downloadUrl;
    QTimer* m_deadline = nullptr;
    int m_deadlineMs = kConnectDeadlineMs;
    QTimer* m_updateDeadline = nullptr;
    int m_updateDeadlineMs = kUpdateDeadlineMs;
    QByteArray m_token;
    QString m_tokenFile;
    // Connections that have not proved themselves yet, with what they sent so far.
    QHash<QTcpSocket*, QByteArray> m_candidates;
    QString m_lastPeer;
};
