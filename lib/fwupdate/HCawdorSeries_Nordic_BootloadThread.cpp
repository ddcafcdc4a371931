#include "HCawdorSeries_Nordic_BootloadThread.h"

#include "common/DeviceIds.h"

#include <QDebug>

HCawdorSeries_Nordic_BootloadThread::HCawdorSeries_Nordic_BootloadThread(QObject* parent)
    : DfuPortThread(DeviceIds::kVendorId, parent)
    , m_pid(DeviceIds::kNordicDfuWired)
{
    m_rounds = kRounds;
    m_intervalMs = kIntervalMs;
}

void HCawdorSeries_Nordic_BootloadThread::run()
{
    qDebug() << "start running";
    DfuPortThread::run();
}

QList<quint16> HCawdorSeries_Nordic_BootloadThread::targets() const
{
    if (m_pid != 0)
        return {m_pid};
    return {DeviceIds::kNordicDfuWired, DeviceIds::kNordicDfuWireless};
}

void HCawdorSeries_Nordic_BootloadThread::found(const QString& portName)
{
    if (portName.isEmpty())
        qDebug() << "find error";
    else
        qDebug() << (m_pid != 0 ? "find2" : "find");
}
