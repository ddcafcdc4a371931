#pragma once

#include <QObject>
#include <QProcess>

// The program's own Ulverd updater: places the model's boot image and settings beside "Flintorne.exe", runs
// it as a child process, removes them again when it ends and passes its exit code on.
//
// Threads: GUI thread only.
class HUlverdSeries_FirmWarre : public QObject
{
    Q_OBJECT
public:
    explicit HUlverdSeries_FirmWarre(QObject* parent = nullptr);
    ~HUlverdSeries_FirmWarre() override;

    void start(const QString& model);
    QProcess* process() const { return m_process; }

signals:
    void sigUpdateRequest(int code);

public slots:
    void slot_ulverdSeriesProcessFinished(int exitCode, QProcess::ExitStatus exitStatus);

private:
    QString m_model;
    QString m_toolFolder;
    QProcess* m_process = nullptr;
};
