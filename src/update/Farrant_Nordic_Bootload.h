#pragma once

#include "update/Farrant_Nordic_BootloadThread.h"

#include "firmware/NrfutilRun.h"

#include <QObject>

// The program's own Nordic DFU updater: restarts the mouse of a device-list model into its DFU bootloader,
// waits for the bootloader's serial port and runs the model's "nrfutil.exe" with the model's package.
// Reports progress on sigProgress and exactly one outcome on sigResult.
//
// Threads: the thread it lives on (with an event loop); the port search runs on its own.
class Farrant_Nordic_Bootload : public QObject
{
    Q_OBJECT
public:
    explicit Farrant_Nordic_Bootload(QObject* parent = nullptr);
    ~Farrant_Nordic_Bootload() override;

    // Starts the update of model (a device-list name such as "JARROW" or "MALDON"); false for an unknown model.
    bool start(const QString& model);

signals:
    void sigResult(bool ret, QString msg);
    void sigProgress(int value, int totle);

private slots:
    void slotFindUARTPortResult(QString portNumber);

private:
    void report(bool success, const QString& message);

    Farrant_Nordic_BootloadThread* m_thread;
    NrfutilRun* m_tool;
    QString m_model;
    int m_pid = 0;
    QString m_package;
    bool m_deviceMissing = false;
    bool m_reported = false;
};
