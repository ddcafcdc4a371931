#pragma once

#include "models/device/FKeyLightModelItem.h"
#include "models/keys/KKeyModelItem.h"
#include "models/keys/KMacroItem.h"
#include "platform/crash/CrashDumpWriter.h"

#include <QDebug>
#include <QHash>
#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <functional>
#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>

template <typename R>
struct HWorkRoute;

// Runs one blocking device call per request on the global thread pool and hands its result to that request's
// own completion on the GUI thread.
//
//   work.run(&KBaseDevice::setLightModel, device, mode, zone, [this](bool ok) { ... });
//   work.run([device] { return device->getFwVersion(); }, [this](int version) { ... });
//   work.run([device] { device->enterGameMode(); });          // no result, no completion
//
// The arguments after the work are copied into the task; the last one is the completion, except for work
// without a result. Results may be bool, int, QJsonObject, QVector<int>, QMap<QString,int>,
// QMap<KKey,KKeyModelItem> or H_KEYLIGHT.
//
// A request is refused when there is no current device or it has been unplugged: run() then returns false
// and the completion still receives a failure (false, -1 or an empty value) on the GUI thread, so callers
// that started a busy indicator can stop it.
//
// Every started task counts in a process-wide pending count until its result has been delivered; unplugged
// devices are deleted only when that count is 0. Call run() on the GUI thread only.
class HWork : public QObject
{
    Q_OBJECT
public:
    using TaskId = quint64;

    explicit HWork(QObject* parent = nullptr);
    ~HWork() override;

    template <typename Work, typename... Rest>
    bool run(Work work, Rest&&... rest);

    // Result kinds with an out-value: an int result with a flag the work may change; a bool result with an
    // int the work fills (starting at 0); a bool result with the list of macro events the work fills.
    template <typename Work>
    bool runPicIndex(Work work, bool flag, std::function<void(int, bool)> done);
    template <typename Work, typename Arg>
    bool runMacroId(Work work, Arg arg, std::function<void(bool, int)> done);
    template <typename Work, typename Arg>
    bool runMacroItem(Work work, QVector<KMacroItem> list, Arg arg,
                      std::function<void(bool, QVector<KMacroItem>)> done);

    // Tasks started and not yet delivered, over all executors.
    static int pendingCount();

signals:
    void taskFinished();
    void sigRet(quint64 task);
    void sigRet_PicIndex(quint64 task, int retCode, bool picIndex);
    void sigRet_bool(quint64 task, bool retCode);
    void sigRet_int(quint64 task, int retCode);
    void sigRet_macroId(quint64 task, bool retCode, int macroId);
    void sigRet_macroItem(quint64 task, bool retCode, QVector<KMacroItem> items);
    void sigRet_QJsonObject(quint64 task, QJsonObject retCode);
    void sigRet_QVector(quint64 task, QVector<int> retCode);
    void sigRet_QMapQString(quint64 task, QMap<QString, int> retCode);
    void sigRet_QMapKKey(quint64 task, QMap<KKey, KKeyModelItem> retCode);
    void sigRet_QMapFKeyLight(quint64 task, H_KEYLIGHT retCode);

public slots:
    void workFinish(quint64 task);
    void workFinish_PicIndex(quint64 task, int retCode, bool picIndex);
    void workFinish_bool(quint64 task, bool retCode);
    void workFinish_int(quint64 task, int retCode);
    void work_macroId(quint64 task, bool retCode, int macroId);
    void work_macroItem(quint64 task, bool retCode, QVector<KMacroItem> items);
    void workFinish_QJsonObject(quint64 task, QJsonObject retCode);
    void workFinish_QVector(quint64 task, QVector<int> retCode);
    void workFinish_QMapQString(quint64 task, QMap<QString, int> retCode);
    void workFinish_QMapKKey(quint64 task, QMap<KKey, KKeyModelItem> retCode);
    void workFinish_QMapFKeyLight(quint64 task, H_KEYLIGHT retCode);

private:
    template <typename R>
    friend struct HWorkRoute;

    // What a pool task needs of its executor. The executor may be destroyed while a task runs: the task then
    // finds no owner and only gives its pending count back.
    struct Link {
        QMutex mutex; // also guards the completion maps below
        HWork* owner = nullptr;
        int undelivered = 0; // results emitted whose slot has not run yet
    };

    bool admit() const;
    TaskId beginTask();
    static void refusalLogged();
    static void orphanFinished();
    void taskDelivered();

    template <typename Emit>
    static void postResult(const std::shared_ptr<Link>& link, Emit emitResult);

    template <typename Map, typename... Values>
    void deliver(Map& completions, TaskId task, const Values&... values);

    template <typename Callback, typename Refused, typename Task>
    bool launch(QHash<TaskId, Callback>& completions, Callback done, Refused refused, Task task);
    template <typename Work, typename Tuple, std::size_t... I>
    bool runSplit(Work work, Tuple all, std::index_sequence<I...>);
    template <typename Work, typename Tuple>
    bool runWithoutResult(Work work, Tuple args);

    std::shared_ptr<Link> m_link;
    std::atomic<TaskId> m_nextTask{0};

    QHash<TaskId, std::function<void(int, bool)>> m_picIndexDone;
    QHash<TaskId, std::function<void(bool, int)>> m_macroIdDone;
    QHash<TaskId, std::function<void(bool, QVector<KMacroItem>)>> m_macroItemDone;
    QHash<TaskId, std::function<void(int)>> m_intDone;
    QHash<TaskId, std::function<void(bool)>> m_boolDone;
    QHash<TaskId, std::function<void(QJsonObject)>> m_jsonDone;
    QHash<TaskId, std::function<void(QVector<int>)>> m_vectorDone;
    QHash<TaskId, std::function<void(QMap<QString, int>)>> m_mapStringDone;
    QHash<TaskId, std::function<void(QMap<KKey, KKeyModelItem>)>> m_mapKeyDone;
    QHash<TaskId, std::function<void(H_KEYLIGHT)>> m_keyLightDone;
};

// Per result type: the signal that carries it, the completions waiting for it and what a refused request
// delivers.
#define HWORK_ROUTE(Alias, SignalName, MemberName, FailureValue)                                              \
    template <>                                                                                               \
    struct HWorkRoute<Alias> {                                                                                \
        using Callback = std::function<void(Alias)>;                                                         \
        static void emitResult(HWork* work, HWork::TaskId task, const Alias& value)                          \
        {                                                                                                     \
            emit work->SignalName(task, value);                                                               \
        }                                                                                                     \
        static QHash<HWork::TaskId, Callback>& completions(HWork* work) { return work->MemberName; }         \
        static Alias failure() { return FailureValue; }                                                       \
    };

namespace HWorkTypes {
using StringIntMap = QMap<QString, int>;
using KeyItemMap = QMap<KKey, KKeyModelItem>;
} // namespace HWorkTypes

HWORK_ROUTE(bool, sigRet_bool, m_boolDone, false)
HWORK_ROUTE(int, sigRet_int, m_intDone, -1)
HWORK_ROUTE(QJsonObject, sigRet_QJsonObject, m_jsonDone, QJsonObject())
HWORK_ROUTE(QVector<int>, sigRet_QVector, m_vectorDone, QVector<int>())
HWORK_ROUTE(HWorkTypes::StringIntMap, sigRet_QMapQString, m_mapStringDone, HWorkTypes::StringIntMap())
HWORK_ROUTE(HWorkTypes::KeyItemMap, sigRet_QMapKKey, m_mapKeyDone, HWorkTypes::KeyItemMap())
HWORK_ROUTE(H_KEYLIGHT, sigRet_QMapFKeyLight, m_keyLightDone, H_KEYLIGHT())
#undef HWORK_ROUTE

template <typename Emit>
void HWork::postResult(const std::shared_ptr<Link>& link, Emit emitResult)
{
    QMutexLocker lock(&link->mutex);
    if (link->owner) {
        ++link->undelivered;
        emitResult(link->owner);
    } else {
        orphanFinished();
    }
}

template <typename Map, typename... Values>
void HWork::deliver(Map& completions, TaskId task, const Values&... values)
{
    typename Map::mapped_type done;
    {
        QMutexLocker lock(&m_link->mutex);
        done = completions.take(task);
        --m_link->undelivered;
    }
    // The completion may delete this executor (a model closing a page); taskDelivered copes with that.
    QPointer<HWork> self(this);
    if (done)
        done(values...);
    if (self)
        self->taskDelivered();
    else
        orphanFinished();
}

template <typename Work, typename... Rest>
bool HWork::run(Work work, Rest&&... rest)
{
    constexpr std::size_t count = sizeof...(Rest);
    auto all = std::make_tuple(std::forward<Rest>(rest)...);
    if constexpr (count == 0) {
        return runWithoutResult(std::move(work), std::tuple<>());
    } else if constexpr (std::is_invocable_v<Work&, std::decay_t<Rest>&...>) {
        static_assert(std::is_void_v<std::invoke_result_t<Work&, std::decay_t<Rest>&...>>,
                      "work with a result needs a completion as last argument");
        return runWithoutResult(std::move(work), std::move(all));
    } else {
        return runSplit(std::move(work), std::move(all), std::make_index_sequence<count - 1>());
    }
}

template <typename Work, typename Tuple>
bool HWork::runWithoutResult(Work work, Tuple args)
{
    if (!admit()) {
        refusalLogged();
        return false;
    }
    const TaskId task = beginTask();
    std::shared_ptr<Link> link = m_link;
    QtConcurrent::run([link, task, work = std::move(work), args = std::move(args)]() mutable {
        Platform::prepareCrashStack(); // pool threads report a stack overflow too
        std::apply(work, args);
        postResult(link, [task](HWork* owner) { emit owner->sigRet(task); });
    });
    return true;
}

// Every form with a completion: a refused request still reaches its completion, with the failure that
// refused() gives it, queued to the GUI thread; an admitted one is counted, its completion stored under its
// own task id, and task(link, id) started on the pool.
template <typename Callback, typename Refused, typename Task>
bool HWork::launch(QHash<TaskId, Callback>& completions, Callback done, Refused refused, Task task)
{
    if (!admit()) {
        refusalLogged();
        if (done) {
            QMetaObject::invokeMethod(
                this, [done = std::move(done), refused = std::move(refused)] { refused(done); },
                Qt::QueuedConnection);
        }
        return false;
    }
    const TaskId id = beginTask();
    {
        QMutexLocker lock(&m_link->mutex);
        completions.insert(id, std::move(done));
    }
    QtConcurrent::run([link = m_link, id, task = std::move(task)]() mutable {
        Platform::prepareCrashStack(); // pool threads report a stack overflow too
        task(link, id);
    });
    return true;
}

template <typename Work, typename Tuple, std::size_t... I>
bool HWork::runSplit(Work work, Tuple all, std::index_sequence<I...>)
{
    using Args = std::tuple<std::tuple_element_t<I, Tuple>...>;
    using Result = std::decay_t<std::invoke_result_t<Work&, std::tuple_element_t<I, Tuple>&...>>;
    using Route = HWorkRoute<Result>;
    static_assert(!std::is_void_v<Result>, "work without a result takes no completion");

    Args args(std::get<I>(std::move(all))...);
    typename Route::Callback done(std::get<sizeof...(I)>(std::move(all)));
    return launch(
        Route::completions(this), std::move(done),
        [](const typename Route::Callback& failed) { failed(Route::failure()); },
        [work = std::move(work), args = std::move(args)](const std::shared_ptr<Link>& link, TaskId task) mutable {
            Result result = std::apply(work, args);
            postResult(link, [task, &result](HWork* owner) { Route::emitResult(owner, task, result); });
        });
}

template <typename Work>
bool HWork::runPicIndex(Work work, bool flag, std::function<void(int, bool)> done)
{
    return launch(
        m_picIndexDone, std::move(done), [flag](const std::function<void(int, bool)>& failed) { failed(-1, flag); },
        [work = std::move(work), flag](const std::shared_ptr<Link>& link, TaskId task) mutable {
            const int result = std::invoke(work, flag);
            postResult(link, [&](HWork* owner) { emit owner->sigRet_PicIndex(task, result, flag); });
        });
}

template <typename Work, typename Arg>
bool HWork::runMacroId(Work work, Arg arg, std::function<void(bool, int)> done)
{
    return launch(
        m_macroIdDone, std::move(done), [](const std::function<void(bool, int)>& failed) { failed(false, 0); },
        [work = std::move(work), arg = std::move(arg)](const std::shared_ptr<Link>& link, TaskId task) mutable {
            int macroId = 0;
            const bool result = std::invoke(work, arg, &macroId);
            postResult(link, [&](HWork* owner) { emit owner->sigRet_macroId(task, result, macroId); });
        });
}

template <typename Work, typename Arg>
bool HWork::runMacroItem(Work work, QVector<KMacroItem> list, Arg arg,
                         std::function<void(bool, QVector<KMacroItem>)> done)
{
    const QVector<KMacroItem> unchanged = list;
    return launch(
        m_macroItemDone, std::move(done),
        [unchanged](const std::function<void(bool, QVector<KMacroItem>)>& failed) { failed(false, unchanged); },
        [work = std::move(work), list = std::move(list), arg = std::move(arg)](const std::shared_ptr<Link>& link,
                                                                             TaskId task) mutable {
            const bool result = std::invoke(work, list, arg);
            postResult(link, [&](HWork* owner) { emit owner->sigRet_macroItem(task, result, list); });
        });
}
