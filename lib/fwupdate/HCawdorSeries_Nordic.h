#pragma once

#include "HBaseDevice.h"
#include "HCawdorSeries_Nordic_BootloadThread.h"
#include "HProcessBar.h"

#include "firmware/NrfutilRun.h"

#include <QPointer>

// Updates the mice with a Nordic radio chip: tells the mouse over HID to restart into its DFU bootloader,
// waits (on a thread of its own) for the bootloader's serial port, then runs the model's "nrfutil.exe" with
// the firmware package and that port, and turns what the tool prints into progress and the one result.
//
// Threads: the caller's thread; the port search reports to it by a queued signal, the tool's output arrives
// through its event loop.
class HCawdorSeries_Nordic : public HBaseDevice
{
    Q_OBJECT
public:
    explicit HCawdorSeries_Nordic(QObject* parent = nullptr);
    ~HCawdorSeries_Nordic() override;

    bool startUpdate(int* pid, QString fileName) override;
    void cancel() override;

    HProcessBar* window() const { return m_window; }
    HCawdorSeries_Nordic_BootloadThread* portSearch() const { return m_thread; }
    QProcess* process() const { return m_tool->process(); }

signals:
    void finished();
    void sig_Flag();
    void sig_Title(QString title);
    void sig_ProgressValue(int value, int totleValue);

public slots:
    void startWork();

private slots:
    void slot_findUARTPort(QString portNumber);

private:
    bool enterDfuMode(int pid, const QString& fileName);
    bool startRunExe(const QString& port);
    void report(int code, const QString& message);

    NrfutilRun* m_tool;
    QPointer<HProcessBar> m_window;
    HCawdorSeries_Nordic_BootloadThread* m_thread;
    int m_pid = 0;
    QString m_deviceName;
    QString m_fileName;
    bool m_receiver = false;
    bool m_deviceMissing = false;
    bool m_reported = false;
};
