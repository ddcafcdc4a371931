#pragma once

#include "firmware/NordicDfuOutput.h"

#include <QObject>
#include <QPointer>
#include <QProcess>

// One run of Nordic's DFU tool with a firmware package and a bootloader port: starts it, reads what it prints
// and reports progress and exactly one outcome: the tool's end line, or a failure when it cannot be started or
// ends without that line.
//
// Threads: the thread it lives on, which needs an event loop (the tool's output arrives through it).
class NrfutilRun : public QObject
{
    Q_OBJECT
public:
    static constexpr int kStartTimeoutMs = 30000;

    explicit NrfutilRun(QObject* parent = nullptr);
    ~NrfutilRun() override;

    // The arguments for flashing package through port.
    static QStringList arguments(const QString& package, const QString& port);

    // Starts program; false (and the failure reported) when it did not start within the time-out.
    bool start(const QString& program, const QStringList& arguments);
    // Ends the tool; nothing more is reported.
    void cancel();
    QProcess* process() const { return m_process; }

signals:
    void progress(int value, int totle);
    void finished(bool success, QString message);

private slots:
    void onReadyReadStandardOutput();
    void onReadyReadStandardError();

private:
    void handle(const QList<NordicDfuOutput::Line>& lines);
    void onToolEnded();
    void finish(bool success, const QString& message);

    QPointer<QProcess> m_process;
    NordicDfuOutput m_output;
    bool m_done = false;
};
