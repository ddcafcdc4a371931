#include "devices/mouse/MouseSession.h"

#include "common/AppServices.h"
#include "hid/HWork.h"
#include "models/device/KDpiModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/keys/KKeyModel.h"
#include "models/keys/KKeyModelItem.h"

#include "common/LoopDeadline.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMetaProperty>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

QVariantMap propertiesOf(const QObject* item)
{
    QVariantMap map;
    if (!item)
        return map;
    const QMetaObject* meta = item->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        map.insert(QString::fromLatin1(property.name()), property.read(item));
    }
    return map;
}

} // namespace

MouseSession::MouseSession(QObject* owner)
    : m_owner(owner)
{
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    QObject::connect(&m_refreshTimer, &QTimer::timeout, [this] { refreshUiState(); });
}

MouseSession::~MouseSession()
{
    for (const QMetaObject::Connection& connection : m_follows)
        QObject::disconnect(connection);
}

MouseUiState MouseSession::uiState() const
{
    QMutexLocker lock(&m_stateLock);
    return m_state;
}

void MouseSession::setUiState(const MouseUiState& state)
{
    QMutexLocker lock(&m_stateLock);
    m_state = state;
}

void MouseSession::setDeviceName(const QString& name)
{
    QMutexLocker lock(&m_stateLock);
    m_state.deviceName = name;
}

void MouseSession::refreshUiState()
{
    AppServices* services = AppServices::instance();
    MouseUiState state = uiState();
    if (const KKeyModel* keys = services->getKeyModel())
        state.keyList = keys->getKeyList();
    if (const KDpiModel* dpi = services->getDpiModel())
        state.dpiEnable = dpi->enable();
    if (const KLightModel* light = services->getLightModel())
        state.lightZones = {propertiesOf(light->logo()), propertiesOf(light->wheel())};
    state.profileName = QFileInfo(services->getConfigPath()).fileName();
    setUiState(state);
}

void MouseSession::followModels()
{
    for (const QMetaObject::Connection& connection : m_follows)
        QObject::disconnect(connection);
    m_follows.clear();
    if (!m_owner)
        return;
    // Every announced change restarts one zero-time timer: a burst of changes costs one copy.
    const QMetaMethod restart = m_refreshTimer.metaObject()->method(m_refreshTimer.metaObject()->indexOfSlot("start()"));
    auto follow = [&](QObject* model, const QMetaMethod& signal) {
        if (model && signal.isValid())
            m_follows << QObject::connect(model, signal, &m_refreshTimer, restart);
    };
    AppServices* services = AppServices::instance();
    if (KKeyModel* keys = services->getKeyModel())
        follow(keys, QMetaMethod::fromSignal(&KKeyModel::keyListChanged));
    // A stage switch is written right after the switches change, on a pool thread that reads this copy: it is
    // refreshed at once, not by the timer, which would fire only after the write had read the old switches.
    if (KDpiModel* dpi = services->getDpiModel())
        m_follows << QObject::connect(dpi, &KDpiModel::enableChanged, &m_refreshTimer, [this] { refreshUiState(); });
    if (KLightModel* light = services->getLightModel()) {
        for (KLightModelItem* item : {light->logo(), light->wheel()}) {
            if (!item)
                continue;
            const QMetaObject* meta = item->metaObject();
            for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
                follow(item, meta->property(i).notifySignal());
        }
    }
    refreshUiState();
}

void MouseSession::post(std::function<void()> change) const
{
    if (!m_owner)
        return;
    if (QThread::currentThread() == m_owner->thread()) {
        change();
        return;
    }
    QMetaObject::invokeMethod(m_owner.data(), std::move(change), Qt::QueuedConnection);
}

bool MouseSession::runAndWait(HWork& work, std::function<bool()> task, int timeoutMs)
{
    struct Outcome {
        bool done = false;
        bool ok = false;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    QPointer<QEventLoop> guard(&loop);
    const QPointer<QObject> owner = m_owner;
    work.run(std::move(task), [outcome, guard](bool ok) {
        outcome->done = true;
        outcome->ok = ok;
        if (guard)
            guard->quit();
    });
    if (!outcome->done) {
        execWithDeadline(loop, timeoutMs);
    }
    return owner && outcome->done && outcome->ok;
}

std::function<void()> MouseSession::keyItemsTask(const QList<MouseKeyChange>& changes)
{
    return [changes] {
        KKeyModel* model = AppServices::instance()->getKeyModel();
        if (!model)
            return;
        const QVariantList items = model->getKeyList();
        for (const MouseKeyChange& change : changes) {
            for (const QVariant& v : items) {
                auto* item = qobject_cast<KKeyModelItem*>(v.value<QObject*>());
                if (!item || item->getKey() != change.key)
                    continue;
                if (change.setType)
                    item->setType(change.type, true, QString());
                item->setValue1(change.code[0]);
                item->setValue2(change.code[1]);
                item->setValue3(change.code[2]);
                item->setValue4(change.code[3]);
            }
        }
    };
}

MouseOperation::MouseOperation(MouseSession& session)
    : m_session(session)
{
    if (onGuiThread())
        m_held = session.operationLock()->try_lock();
    else {
        session.operationLock()->lock();
        m_held = true;
    }
    if (m_held)
        m_ui = session.uiState();
}

MouseOperation::~MouseOperation()
{
    if (m_held)
        m_session.operationLock()->unlock();
}

void MouseOperation::onSuccess(std::function<void()> change)
{
    m_changes.append(std::move(change));
}

bool MouseOperation::finish(bool ok)
{
    const QList<std::function<void()>> changes = std::move(m_changes);
    m_changes.clear();
    if (ok) {
        for (const std::function<void()>& change : changes)
            m_session.post(change);
    }
    return ok;
}
