#pragma once

#include "online/KNetBase.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QSslError>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkReply;
class QSaveFile;
class ReplyGuard;

// The program's self-update ("h_httpDownload"): asks the web API for the current program version, downloads
// the installer it names into the update folder with progress, and once it is whole starts it as the logged-in
// user, opens the outside program Sorrel from the program folder and ends this program. The installer is
// streamed into a QSaveFile as it arrives, within the installer's limits (ReplyGuard: size, deadline, progress
// floor), and takes its place only when whole and when it begins as a program (ELF or "#!"). One download at a
// time; every download ends with one sig_SortFinished, also one that cannot start (no address, an address
// without a file name, no folder); a cancelled or failed download leaves no partial file, and an installer that
// cannot be started ends nothing: the user is told and keeps the program.
//
// Threads: GUI thread only.
class HHttpDownload : public KNetBase
{
    Q_OBJECT
    Q_PROPERTY(int progressValue READ getProgressValue NOTIFY progressValueChanged)
    Q_PROPERTY(int progressMaxValue READ getProgressMaxValue NOTIFY progressMaxValueChanged)
public:
    static const QString kSorrelName;

    explicit HHttpDownload(QObject* parent = nullptr);
    ~HHttpDownload() override;

    int getProgressValue() const { return progressValue; }
    int getProgressMaxValue() const { return progressMaxValue; }
    bool isDownloading() const { return reply != nullptr; }
    // The installer's full path once a download started.
    QString installerPath() const { return fileName; }

    // The installer to download next; a version answer sets it too.
    void setDownloadUrl(const QString& address) { m_downloadUrl = address; }

    Q_INVOKABLE void getSoftwareVersion(QString version, bool state);
    Q_INVOKABLE void getSoftwareVersion(QString version);
    // Ends this program at once.
    Q_INVOKABLE void killQtProcess();

    // Starts file as the logged-in user ("runas": the installer; "open": a program to open); the outcome is
    // logged, and true when it started.
    static bool shellRun(const QString& operation, const QString& file);

    // Tests: what ending the program does (by default: the log written out, then _exit(0)); an empty function
    // puts it back.
    static void setExitHook(std::function<void()> hook);

signals:
    void sig_SortFinished();
    void sig_CancelSortDownLoad();
    void sig_SaveProgress(qlonglong bytesRead, qlonglong totalBytes);
    void sigReturnVersion(int code, QString msg, QString version, QString path, bool closeIndex);
    void progressValueChanged();
    void progressMaxValueChanged();

public slots:
    void downloadFile();
    void cancelDownload();
    void sslErrors(QNetworkReply* reply, QList<QSslError> errors);

private slots:
    void slot_SaveProgress(qlonglong bytesRead, qlonglong totalBytes);

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;

private:
    void httpFinished(ReplyGuard* guard);
    // A download that cannot start ends as failed all the same: the progress popup hears its end.
    void failBeforeStart(const QString& why);
    void releaseReply();

    int progressValue = 100;
    int progressMaxValue = 0;
    QSaveFile* file = nullptr;
    QUrl url;
    QNetworkAccessManager qnam;
    QNetworkReply* reply = nullptr;
    QString m_downloadUrl;
    QString fileName;
    bool httpRequestAborted = false;
};
