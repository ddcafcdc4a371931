#pragma once

#include "HBaseDevice.h"

// Flashes the Oakham mice with the maker's "Flintor.exe": places the model's firmware files beside the
// program, runs it and waits for its end, then writes the model's product id into the freshly flashed mouse
// (which the program leaves under the "DUNMOR" id).
//
// Threads: the caller's thread, which it blocks while the program runs.
class HOakhamSeries : public HBaseDevice
{
    Q_OBJECT
public:
    explicit HOakhamSeries(QObject* parent = nullptr);
    bool startUpdate(int* pid, QString fileName) override;

signals:
    void sig_HOakhamseriesFinished(int exitCode);

private slots:
    void slot_HOakhamSeriesFinished(int exitCode);

private:
    void writeProductId();

    QString m_model;
};
