#include "hid/KInterruptReadThread.h"

KInterruptReadThread::KInterruptReadThread(QObject* parent)
    : QThread(parent),
      m_loop([this](const QString& text) { emit postMsg(text); },
             [this](const QString& data) { emit sigData(data); })
{
}

KInterruptReadThread::~KInterruptReadThread()
{
    stop();
}

void KInterruptReadThread::setPid(int pid)
{
    m_pid.store(static_cast<quint16>(pid));
}

void KInterruptReadThread::stop()
{
    m_loop.stopAndJoin(*this);
}
