#pragma once

#include <QObject>
#include <QString>

// Flashes a device's firmware by model. Progress and the result are reported through the two signals.
class Q_DECL_EXPORT Mirelle : public QObject
{
    Q_OBJECT
public:
    explicit Mirelle(QObject* parent = nullptr);
    ~Mirelle() override;

    int initFwDevice(const QString& model, const QString& firmwareFile, const QString& language,
                     const QString& folder);

signals:
    void qt_updateFinished(int code, QString message);
    void qt_updateProgress(int value, int total);
};
