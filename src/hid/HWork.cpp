#include "hid/HWork.h"

#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"

#include <QCoreApplication>
#include <QThread>

namespace {

// Raised when a task starts and lowered when its result has been delivered, normally both on the GUI thread;
// atomic because model code is also reached from pool threads.
std::atomic<int> g_pendingCount{0};

void registerResultTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<H_KEYLIGHT>("H_KEYLIGHT");
        qRegisterMetaType<QVector<KMacroItem>>("QVector<KMacroItem>");
        qRegisterMetaType<QVector<int>>("QVector<int>");
        qRegisterMetaType<QMap<QString, int>>("QMap<QString,int>");
        qRegisterMetaType<QMap<KKey, KKeyModelItem>>("QMap<KKey,KKeyModelItem>");
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

HWork::HWork(QObject* parent)
    : QObject(parent), m_link(std::make_shared<Link>())
{
    m_link->owner = this;
    registerResultTypes();

    connect(this, &HWork::sigRet, this, &HWork::workFinish, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_PicIndex, this, &HWork::workFinish_PicIndex, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_bool, this, &HWork::workFinish_bool, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_int, this, &HWork::workFinish_int, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_macroId, this, &HWork::work_macroId, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_macroItem, this, &HWork::work_macroItem, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_QJsonObject, this, &HWork::workFinish_QJsonObject, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_QVector, this, &HWork::workFinish_QVector, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_QMapQString, this, &HWork::workFinish_QMapQString, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_QMapKKey, this, &HWork::workFinish_QMapKKey, Qt::QueuedConnection);
    connect(this, &HWork::sigRet_QMapFKeyLight, this, &HWork::workFinish_QMapFKeyLight, Qt::QueuedConnection);

    connect(this, &HWork::taskFinished, HDeviceManager::instance(), &HDeviceManager::slot_destoryDevice);
}

HWork::~HWork()
{
    int undelivered = 0;
    {
        QMutexLocker lock(&m_link->mutex);
        m_link->owner = nullptr;
        undelivered = m_link->undelivered;
        m_link->undelivered = 0;
    }
    // Results already emitted die with this object's event queue; their tasks are over, so they no longer
    // hold an unplugged device alive. Tasks still running give their count back when they end.
    if (undelivered > 0) {
        if ((g_pendingCount -= undelivered) == 0 && QCoreApplication::instance())
            QMetaObject::invokeMethod(HDeviceManager::instance(), "slot_destoryDevice", Qt::QueuedConnection);
    }
}

int HWork::pendingCount()
{
    return g_pendingCount;
}

bool HWork::admit() const
{
    const KBaseDevice* device = HDeviceManager::instance()->getDevice(-1);
    return device && !device->isRemoved();
}

HWork::TaskId HWork::beginTask()
{
    ++g_pendingCount;
    return ++m_nextTask;
}

void HWork::refusalLogged()
{
    qWarning() << "[Error] device task refused: no device, or the device was unplugged";
}

void HWork::orphanFinished()
{
    // Runs on a pool thread (executor gone while its task ran) or on the GUI thread (executor deleted by its
    // own completion); the count is only ever changed on the GUI thread.
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    auto finish = [] {
        if (--g_pendingCount == 0)
            HDeviceManager::instance()->slot_destoryDevice();
    };
    if (QThread::currentThread() == app->thread())
        finish();
    else
        QMetaObject::invokeMethod(app, finish, Qt::QueuedConnection);
}

void HWork::taskDelivered()
{
    if (--g_pendingCount == 0 && HDeviceManager::instance()->hasRemovedDevice())
        emit taskFinished();
}

void HWork::workFinish(quint64 task)
{
    {
        QMutexLocker lock(&m_link->mutex);
        --m_link->undelivered;
    }
    taskDelivered();
}

void HWork::workFinish_PicIndex(quint64 task, int retCode, bool picIndex)
{
    deliver(m_picIndexDone, task, retCode, picIndex);
}

void HWork::workFinish_bool(quint64 task, bool retCode)
{
    deliver(m_boolDone, task, retCode);
}

void HWork::workFinish_int(quint64 task, int retCode)
{
    deliver(m_intDone, task, retCode);
}

void HWork::work_macroId(quint64 task, bool retCode, int macroId)
{
    deliver(m_macroIdDone, task, retCode, macroId);
}

void HWork::work_macroItem(quint64 task, bool retCode, QVector<KMacroItem> items)
{
    deliver(m_macroItemDone, task, retCode, items);
}

void HWork::workFinish_QJsonObject(quint64 task, QJsonObject retCode)
{
    deliver(m_jsonDone, task, retCode);
}

void HWork::workFinish_QVector(quint64 task, QVector<int> retCode)
{
    deliver(m_vectorDone, task, retCode);
}

void HWork::workFinish_QMapQString(quint64 task, QMap<QString, int> retCode)
{
    deliver(m_mapStringDone, task, retCode);
}

void HWork::workFinish_QMapKKey(quint64 task, QMap<KKey, KKeyModelItem> retCode)
{
    deliver(m_mapKeyDone, task, retCode);
}

void HWork::workFinish_QMapFKeyLight(quint64 task, H_KEYLIGHT retCode)
{
    deliver(m_keyLightDone, task, retCode);
}
