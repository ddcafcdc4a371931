#include "hid/FPairing.h"

#include "common/DeviceIds.h"
#include "hid/FPairingFarrant.h"
#include "hid/KDeviceController.h"
#include "hid/KDeviceWatcher.h"

#include <QDebug>

FPairing::FPairing(QObject* parent)
    : QObject(parent)
{
}

FPairing::~FPairing()
{
    pairingStop();
}

bool FPairing::isReceiverPid(int pid)
{
    const DeviceIds::Model* model = DeviceIds::find(pid);
    return model && model->family == DeviceIds::Family::Receiver;
}

void FPairing::pairingStart()
{
    const int pid = KDeviceController::instance()->deviceWatcher()->currentPid();
    if (!isReceiverPid(pid)) {
        emit sigFinishState(false);
        return;
    }
    // One pairing at a time: a running one ends before the next starts.
    pairingStop();
    m_thread = new FPairingFarrant();
    // A result a stopped run posted before it ended arrives after its thread is gone: only the running
    // pairing's result counts.
    const quint64 run = ++m_run;
    connect(m_thread, &FPairingFarrant::sigFinishCode, this, [this, run](bool res) {
        if (run == m_run && m_thread)
            emit sigFinishState(res);
    });
    m_thread->setPid(pid);
    m_thread->start(QThread::InheritPriority);
}

void FPairing::pairingStop()
{
    ++m_run;
    if (m_thread) {
        m_thread->stop();
        delete m_thread;
        m_thread = nullptr;
    }
    qDebug() << "mReadThread:" << static_cast<void*>(m_thread);
}
