#pragma once

#include <QObject>
#include <QString>

#include <memory>

class FNetSaveConfigInfo;
class KNetUploadConfig;
class QFile;

// Backs the current device's profiles and the macro library up to the cloud account (QML type "FUpLoadFile"
// of "k.tools"). One job is a chain of four requests, each sent only after the one before reported code 0:
// the profile folder's archive is uploaded, recorded as the profile backup, then the macro folder's archive
// is uploaded and recorded as the macro backup (an empty macro library ends the job after the profiles).
// Every job ends with one tip, the analytics event of its outcome and sig_finish; the archives are packed
// beside their folders under names of their own and removed once their upload has answered, or when the job
// ends before that. A call while a job runs is ignored.
//
// Threads: GUI thread only.
class FUpLoadFile : public QObject
{
    Q_OBJECT
public:
    explicit FUpLoadFile(QObject* parent = nullptr);
    ~FUpLoadFile() override;

    Q_INVOKABLE void uploadCloud();
    bool isRunning() const { return m_running; }

    // Tests: the time-outs of the save-info requests and of the uploads (0 puts the defaults back).
    void setTimeouts(int postMs, int uploadMs);

signals:
    void sig_finish();

private slots:
    void slot_upLoadMouseConfigResult(int code, QString msg, QString path);
    void slot_upLoadMouseConfigPathResult(int code, QString msg);
    void slot_upLoadMacroResult(int code, QString msg, QString path);
    void slot_upLoadMacroPathResult(int code, QString msg);

private:
    // Packs folder and starts its upload; false when the job has ended instead.
    bool sendArchive(const QString& folder, bool profile);
    // An upload's answer: the archive is released; true when the job goes on with the path, otherwise it has
    // ended (noPath is the tip for an accepted upload without a path).
    bool uploadAccepted(int code, const QString& msg, const QString& path, const QString& noPath);
    // Closes the archive, removes it from disk and forgets it.
    void releaseArchive();
    void fail(const QString& message);
    void succeed(const QString& message);
    void sendEvent(const char* label);

    std::unique_ptr<KNetUploadConfig> profileUpload;
    std::unique_ptr<FNetSaveConfigInfo> profileSaveInfo;
    std::unique_ptr<KNetUploadConfig> macroUpload;
    std::unique_ptr<FNetSaveConfigInfo> macroSaveInfo;
    QFile* archive = nullptr;
    bool m_running = false;
    QString m_deviceName;
};
