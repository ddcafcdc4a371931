#include "hid/HCommunicateManager.h"

#include "hid/khid/KUSBDevice.h"

#include <QMutexLocker>

HCommunicateManager* HCommunicateManager::instance()
{
    static HCommunicateManager manager;
    return &manager;
}

HCommunicateManager::HCommunicateManager() = default;

HCommunicateManager::~HCommunicateManager()
{
    qDeleteAll(m_channels);
}

KHID::KUSBDevice* HCommunicateManager::getDevice(QObject* owner)
{
    {
        QMutexLocker lock(&m_channelsLock);
        if (KHID::KUSBDevice* channel = m_channels.value(owner, nullptr))
            return channel;
    }
    return createDevice(owner);
}

QMutex* HCommunicateManager::getMutex()
{
    return &m_transactionMutex;
}

KHID::KUSBDevice* HCommunicateManager::createDevice(QObject* owner)
{
    auto* channel = new KHID::KUSBDevice();
    {
        QMutexLocker lock(&m_channelsLock);
        m_channels.insert(owner, channel);
    }
    connect(owner, &QObject::destroyed, this, &HCommunicateManager::destroyDevice, Qt::DirectConnection);
    return channel;
}

// The owner's tasks have all ended before the owner is deleted (the registry waits for them), so nothing else
// uses the channel: it is closed and freed now rather than from an event loop that may no longer run.
void HCommunicateManager::destroyDevice(QObject* owner)
{
    KHID::KUSBDevice* channel = nullptr;
    {
        QMutexLocker lock(&m_channelsLock);
        channel = m_channels.take(owner);
    }
    delete channel;
}
