#pragma once

#include "hid/HWork.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

class FfileDownloader;
class KNetDownloadConfig;

// Restores the macro library and the current device's profiles from the cloud account (QML type
// "FDownLoadFile" of "k.tools"), then applies the current profile to the device and the user interface.
// The chain: ask where the macro archive lies, fetch it and unpack it over the macro folder (no macro backup
// skips this), convert macro files of the older format, reload the macro library; ask where the device's
// profile archive lies, fetch it and unpack it over the device's profile folder; apply the current profile
// on this object's own executor. Only a complete download of a sound archive is unpacked, and an archive
// that is refused changes nothing (CloudArchive), one that would put more than 30 profiles into the device's
// folder or more than 30 entries into a macro folder included. The archives are unpacked on a thread of this
// object's own, one at a time; the GUI thread only hears the result. A failed job ends with one error tip and
// sig_finish; a successful one with its tip, the reloaded profile list and sigchangeUi. A call while a job runs is
// ignored.
//
// Threads: GUI thread; the unpacking runs on the object's own thread and the apply step's work on the pool,
// and both come back to the GUI thread. The object waits for an unpacking under way when it is destroyed.
class FDownLoadFile : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxArchiveDownload = 16 * 1024 * 1024;
    static constexpr int kLoadingMs = 2000;

    explicit FDownLoadFile(QObject* parent = nullptr);
    ~FDownLoadFile() override;

    Q_INVOKABLE void downloadCloud();
    bool isRunning() const { return m_running; }

    // Tests: the time-out of the queries, and the progress window of the downloads (their deadline four of
    // them); 0 puts the defaults back.
    void setTimeouts(int postMs, int transferMs);

signals:
    void sigConfigChanged();
    void sigchangeUi();
    void sig_finish();

private slots:
    void slot_DownloadMouseConfig(int code, QString msg, QString path);
    void slot_DownloadMacroConfig(int coad, QString msg, QString path);
    void slot_DownloadMouseloader();
    void slot_DownloadMacroloader();
    void slot_UpDateMouseConfig();

private:
    void requestProfileArchive();
    // Unpacks the downloader's archive over the macro folder (macros) or the device's profile folder, off the
    // GUI thread; done(unpacked) follows on the GUI thread, unless the object is gone.
    void unpackDownload(const FfileDownloader& downloader, bool macros, std::function<void(bool)> done);
    // Passes every file below path (links left alone) to the macro file conversion.
    static void convertMacroFolder(const QString& path);
    // Ends the job as failed: the event "fail" when withEvent, the error tip, sig_finish.
    void fail(const QString& message, bool withEvent);
    void sendEvent(const char* label);

    std::unique_ptr<KNetDownloadConfig> profileRequest;
    std::unique_ptr<KNetDownloadConfig> macroRequest;
    std::unique_ptr<FfileDownloader> profileDownloader;
    std::unique_ptr<FfileDownloader> macroDownloader;
    HWork work;
    QThreadPool m_unpacking;
    bool m_running = false;
    QString m_deviceName;
};
