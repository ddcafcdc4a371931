#pragma once

#include "update/UpdateProtocol.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class FfileDownloader;
class Mirelle;
class QTcpSocket;

// Tessaly's working object, never shown: connects to Corvane on the local update port, proves itself with the
// token Corvane gave it at its start (its first line), takes the one job line of the connection, maps the model name, downloads the firmware when the job names a url, has the library
// flash it, and forwards the library's progress and result as status messages, one end message per job.
//
// Threads: the GUI thread; the library's reports arrive here queued.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const QByteArray& token, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Ends a process of this user at once; false when it cannot be ended.
    static bool killProcess(qint64 processId);

    // The tables of the job, by model name.
    static QString mappedModel(const QString& received);       // the alias table; unchanged when none
    static QString firmwareFileName(const QString& model);     // empty when the model has none
    static bool isNordicModel(const QString& model);
    static bool isHollisModel(const QString& model);
    // The download series of a model (by its name as received, then by its list): 1 to 6, or -1.
    static int seriesCode(const QString& received, bool nordic, bool hollis);
    // Where a downloaded firmware of the series goes, below the application folder + "/Update/Clouds/" + the
    // model used; empty for models of no series.
    static QString downloadTarget(const QString& received, const QString& used, const QString& fileName,
                                  bool nordic, bool hollis);

public slots:
    void slot_updateFinished(int code, QString msg);
    void slot_progress(int value, int totleValue);

private slots:
    void readData();
    void slot_savefile();

private:
    void connectServer();
    bool startUpdate();
    bool callLibrary(const QString& folder);
    void sendStatus(int code, const QString& text);
    void send(const QByteArray& message);
    UpdateProtocol::ModelClass modelClass() const;
    static QString applicationFolder();

    bool nordicFlag = false;
    bool hollisFlag = false;
    QString mText;          // the model name used
    QString mLanguage;
    QString mDownUrl;
    QTcpSocket* m_socket = nullptr;
    QString mReceived;      // the model name as received
    QString mFileName;
    QPointer<Mirelle> m_mirelle;
    FfileDownloader* m_downloader = nullptr;
    QByteArray m_token;
    bool m_jobTaken = false;
    bool m_ended = false;
};
