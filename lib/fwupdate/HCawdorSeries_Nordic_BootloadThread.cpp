#include "HCawdorSeries_Nordic_BootloadThread.h"

#include "common/DeviceIds.h"
#include "firmware/DfuPortSearch.h"

#include <QDebug>

HCawdorSeries_Nordic_BootloadThread::HCawdorSeries_Nordic_BootloadThread(QObject* parent)
    : QThread(parent)
    , m_vid(DeviceIds::kVendorId)
    , m_pid(DeviceIds::kNordicDfuWired)
{
}

HCawdorSeries_Nordic_BootloadThread::~HCawdorSeries_Nordic_BootloadThread()
{
    stop();
    wait();
}

void HCawdorSeries_Nordic_BootloadThread::stop()
{
    m_sleep.interrupt();
}

void HCawdorSeries_Nordic_BootloadThread::run()
{
    qDebug() << "start running";
    const QList<quint16> targets = m_pid != 0 ? QList<quint16>{m_pid}
                                              : QList<quint16>{DeviceIds::kNordicDfuWired, DeviceIds::kNordicDfuWireless};
    const DfuPortSearch::Result found = DfuPortSearch::find(m_vid, targets, kRounds, kIntervalMs, m_sleep);
    if (found.stopped)
        return;
    if (found.portName.isEmpty()) {
        qDebug() << "find error";
        emit sigResult(QString());
        return;
    }
    qDebug() << (m_pid != 0 ? "find2" : "find");
    emit sigResult(found.portName);
}
