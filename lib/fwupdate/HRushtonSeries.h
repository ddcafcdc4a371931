#pragma once

#include "HBaseDevice.h"

// Flashes the Rushton mice with the update program that lies in the model's firmware folder
// ("VeldtUpdataOnce.exe"), and waits for its end.
//
// Threads: the caller's thread, which it blocks while the program runs.
class HRushtonSeries : public HBaseDevice
{
    Q_OBJECT
public:
    explicit HRushtonSeries(QObject* parent = nullptr);
    bool startUpdate(int* pid, QString fileName) override;

signals:
    void sig_HRushtonSeriesFinished(int exitCode);

private slots:
    void slot_HRushtonSeriesFinished(int exitCode);

private:
    QString m_model;
};
