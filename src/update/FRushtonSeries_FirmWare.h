#pragma once

#include <QObject>
#include <QProcess>

// The program's own Rushton updater: runs the model's "VeldtUpdataOnce.exe" as a child process and passes
// its exit code on.
//
// Threads: GUI thread only.
class FRushtonSeries_FirmWare : public QObject
{
    Q_OBJECT
public:
    explicit FRushtonSeries_FirmWare(QObject* parent = nullptr);
    ~FRushtonSeries_FirmWare() override;

    void runUpDateExe(const QString& model);
    QProcess* process() const { return m_process; }

signals:
    void sigUpdateRequest(int code);

public slots:
    void timertoCloseProcess();
    void processFinish(int exitCode, QProcess::ExitStatus exitStatus);

private:
    QProcess* m_process;
};
