#pragma once

#include "online/FfileDownloader.h"
#include "online/KNetBase.h"

#include <QPointer>
#include <QString>

class HHttpDownload;

// The version query of the web API for firmware and program ("g_updater"): each answer's download address is
// kept for the whole program (getDownLoadUrl), and a firmware can be downloaded into the program folder's
// "Update/Local/" where the updaters look for it. A download counts only when the server answered with success
// and at least 100 bytes of a file of the target's kind (FirmwareFile: never a page or a JSON answer, never
// larger than the model takes), and the file was written whole; otherwise the file there stays as it was; the hand-over
// to the program's self-update goes to the self-updater the application manager sets.
//
// Threads: GUI thread only.
class KUpdater : public KNetBase
{
    Q_OBJECT
public:
    static constexpr int kMinimumFirmwareBytes = 100;

    explicit KUpdater(QObject* parent = nullptr);
    ~KUpdater() override;

    void setSelfUpdater(HHttpDownload* selfUpdater);
    FfileDownloader* downloader() { return &m_downloader; }

    // The kind of a model's firmware download (1 to 6), or -1 when none is saved.
    static int modelKind(const QString& model);
    // The file a downloaded firmware of the kind is saved to, below the program folder; empty for -1.
    static QString targetPath(int kind, const QString& model, const QString& device);

    Q_INVOKABLE void getSoftwareVersion(QString versionType);
    Q_INVOKABLE void getFirmVersion(QString versionType);
    Q_INVOKABLE void slot_StartUpdateFirmWare();
    Q_INVOKABLE QString getDownLoadUrl();

signals:
    void sigReturnVersion(int code, QString msg, QString version, QString path);
    void sortStart();
    void sig_SortDownLoad(QString filePath);
    void sig_DownLoadFinish(bool state);

public slots:
    bool slot_StartUpdateSortWare();
    void slot_savefile();

protected:
    void handleReply(QNetworkReply* reply, QByteArray body, int httpStatus) override;

private:
    void askVersion(const QString& versionType);
    void downloadFailed();

    FfileDownloader m_downloader;
    QPointer<HHttpDownload> m_selfUpdater;
    QMetaObject::Connection m_handOver;
};
