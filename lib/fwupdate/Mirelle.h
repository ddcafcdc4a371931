#pragma once

#include <QObject>
#include <QString>

// The firmware-update library's one entry point: flashes a device's firmware by model name. The result and the
// progress arrive through the two signals, always on the caller's thread.
//
// Threads: create, call and destroy on one thread with an event loop (the updaters' own threads report to it).
class Q_DECL_EXPORT Mirelle : public QObject
{
    Q_OBJECT
public:
    class HPrivate;

    Mirelle();
    explicit Mirelle(QObject* parent);
    ~Mirelle() override;

    // Starts one update: model name, firmware file (empty: the updater's default), language ("zh", "en" or
    // empty for the system's) and a firmware folder replacing the built-in one (or empty). True when the
    // chosen updater accepted and started it; the outcome follows on qt_updateFinished.
    bool initFwDevice(QString model, QString fileName, QString language, QString folder);

signals:
    void qt_updateFinished(int code, QString msg);
    void qt_updateProgress(int value, int totleValue);

private:
    HPrivate* d = nullptr;
};
