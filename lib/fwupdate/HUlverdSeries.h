#pragma once

#include "HBaseDevice.h"

// Flashes the Ulverd mice with "Flintorne.exe": places the model's boot image and settings (and, where the
// platform needs it, the program's runtime) in the program's folder, runs it, waits for its end and removes
// what it placed.
//
// Threads: the caller's thread, which it blocks while the program runs.
class HUlverdSeries : public HBaseDevice
{
    Q_OBJECT
public:
    explicit HUlverdSeries(QObject* parent = nullptr);
    bool startUpdate(int* pid, QString fileName) override;

signals:
    void sig_HUlverdSeriesFinished(int exitCode);

private slots:
    void slot_HUlverdSeriesFinished(int exitcode);

private:
    QString m_model;
};
