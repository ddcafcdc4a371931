#pragma once

#include <QObject>
#include <QProcess>

// The program's own Oakham updater: places the model's firmware files beside "Flintor.exe" and runs it as an
// ordinary child process, without blocking. Reports the program's end on sigUpdateRequest.
//
// Threads: GUI thread only; the process's signals arrive through the event loop.
class FOakhamSeries_FirmWare : public QObject
{
    Q_OBJECT
public:
    explicit FOakhamSeries_FirmWare(QObject* parent = nullptr);
    ~FOakhamSeries_FirmWare() override;

    // Starts the update of model; the outcome follows on sigUpdateRequest (0 success, the program's exit
    // code, or -1 when it could not start or crashed).
    void start(const QString& model);
    QProcess* process() const { return m_process; }

signals:
    void sigUpdateRequest(int code);

private slots:
    void slot_vSeriesProcessFinished(int exitCode, QProcess::ExitStatus exitStatus);

private:
    QString m_model;
    QString m_toolFolder;
    QProcess* m_process = nullptr;
};
