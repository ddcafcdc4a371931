#include "firmware/DfuPortThread.h"

#include "firmware/DfuPortSearch.h"

DfuPortThread::DfuPortThread(quint16 vendorId, QObject* parent)
    : QThread(parent)
    , m_vid(vendorId)
{
}

DfuPortThread::~DfuPortThread()
{
    stop();
    wait();
}

void DfuPortThread::stop()
{
    m_sleep.interrupt();
}

void DfuPortThread::run()
{
    const DfuPortSearch::Result result = DfuPortSearch::find(m_vid, targets(), m_rounds, m_intervalMs, m_sleep);
    if (result.stopped)
        return;
    found(result.portName);
    emit sigResult(result.portName);
}
