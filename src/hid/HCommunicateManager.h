#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>

namespace KHID {
class KUSBDevice;
}

// Gives each device object its own I/O channel, living exactly as long as the object that asked for it, and
// hands out the one transaction mutex that every device exchange holds while it talks to the hardware.
// The mutex lives as long as the process: hold it per request/response exchange, never nested, and never on
// the GUI thread while waiting for it.
class HCommunicateManager : public QObject
{
    Q_OBJECT
public:
    static HCommunicateManager* instance();

    // The owner's channel, created on first request. Never null.
    KHID::KUSBDevice* getDevice(QObject* owner);
    // Never null.
    QMutex* getMutex();

private slots:
    void destroyDevice(QObject* owner);

private:
    HCommunicateManager();
    ~HCommunicateManager() override;

    KHID::KUSBDevice* createDevice(QObject* owner);

    QMutex m_channelsLock;
    QHash<QObject*, KHID::KUSBDevice*> m_channels;
    QMutex m_transactionMutex;
};
