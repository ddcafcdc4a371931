#include "hid/KInterruptReadThread.h"

#include "platform/crash/CrashDumpWriter.h"

KInterruptReadThread::KInterruptReadThread(QObject* parent)
    : QThread(parent),
      m_loop([this](const QString& text) { emit postMsg(text); },
             [this](const QString& data) { emit sigData(data); })
{
    // Runs on the new thread before run(): a crash there, a stack overflow too, still leaves its dump.
    connect(this, &QThread::started, [] { Platform::prepareCrashStack(); });
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
