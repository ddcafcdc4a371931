// Linked into every program of the ThreadSanitizer build (CORVANE_SANITIZE=thread) and nowhere else.
//
// Qt's libraries are not instrumented: a QMutex, QWaitCondition, QSemaphore, thread pool or future is taken and released inside
// libQt5Core, out of ThreadSanitizer's sight, so every access our code guards with one would be reported as a
// race. Our calls to these out-of-line functions bind to the definitions below (a program's own definition comes
// before the shared library's); each forwards to Qt's and tells ThreadSanitizer that the lock was acquired or
// released. Qt's calls inside its own library still go straight to Qt (it binds its own symbols): what is left of
// those is in tsan.supp.
//
// Two more hand-overs happen wholly inside Qt and are made visible through the hooks Qt offers for them (further
// down): a signal or posted event that crosses threads (Qt's event queue lock), and a thread's end as seen by
// QThread::wait (Qt's own wait condition, woken after the thread's last code ran).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QFutureInterfaceBase>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QWaitCondition>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);

namespace {

template <typename Function>
Function qtFunction(const char* symbol)
{
    void* found = dlsym(RTLD_NEXT, symbol);
    if (!found) {
        std::fprintf(stderr, "tsan_qt_locks: %s not found in Qt\n", symbol);
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

} // namespace

void QMutex::lock() QT_MUTEX_LOCK_NOEXCEPT
{
    static const auto real = qtFunction<void (*)(QMutex*)>("_ZN6QMutex4lockEv");
    real(this);
    __tsan_acquire(this);
}

bool QMutex::tryLock(int timeout) QT_MUTEX_LOCK_NOEXCEPT
{
    static const auto real = qtFunction<bool (*)(QMutex*, int)>("_ZN6QMutex7tryLockEi");
    const bool locked = real(this, timeout);
    if (locked)
        __tsan_acquire(this);
    return locked;
}

void QMutex::unlock() noexcept
{
    static const auto real = qtFunction<void (*)(QMutex*)>("_ZN6QMutex6unlockEv");
    __tsan_release(this);
    real(this);
}

// A wait releases the mutex and takes it again before it returns; a wake orders what the waker did before it
// with what the woken thread does after.
bool QWaitCondition::wait(QMutex* mutex, QDeadlineTimer deadline)
{
    static const auto real =
        qtFunction<bool (*)(QWaitCondition*, QMutex*, QDeadlineTimer)>("_ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer");
    __tsan_release(mutex);
    const bool woken = real(this, mutex, deadline);
    __tsan_acquire(mutex);
    __tsan_acquire(this);
    return woken;
}

bool QWaitCondition::wait(QMutex* mutex, unsigned long time)
{
    static const auto real =
        qtFunction<bool (*)(QWaitCondition*, QMutex*, unsigned long)>("_ZN14QWaitCondition4waitEP6QMutexm");
    __tsan_release(mutex);
    const bool woken = real(this, mutex, time);
    __tsan_acquire(mutex);
    __tsan_acquire(this);
    return woken;
}

void QWaitCondition::wakeOne()
{
    static const auto real = qtFunction<void (*)(QWaitCondition*)>("_ZN14QWaitCondition7wakeOneEv");
    __tsan_release(this);
    real(this);
}

void QWaitCondition::wakeAll()
{
    static const auto real = qtFunction<void (*)(QWaitCondition*)>("_ZN14QWaitCondition7wakeAllEv");
    __tsan_release(this);
    real(this);
}

void QSemaphore::acquire(int n)
{
    static const auto real = qtFunction<void (*)(QSemaphore*, int)>("_ZN10QSemaphore7acquireEi");
    real(this, n);
    __tsan_acquire(this);
}

bool QSemaphore::tryAcquire(int n)
{
    static const auto real = qtFunction<bool (*)(QSemaphore*, int)>("_ZN10QSemaphore10tryAcquireEi");
    const bool acquired = real(this, n);
    if (acquired)
        __tsan_acquire(this);
    return acquired;
}

bool QSemaphore::tryAcquire(int n, int timeout)
{
    static const auto real = qtFunction<bool (*)(QSemaphore*, int, int)>("_ZN10QSemaphore10tryAcquireEii");
    const bool acquired = real(this, n, timeout);
    if (acquired)
        __tsan_acquire(this);
    return acquired;
}

void QSemaphore::release(int n)
{
    static const auto real = qtFunction<void (*)(QSemaphore*, int)>("_ZN10QSemaphore7releaseEi");
    __tsan_release(this);
    real(this, n);
}

// QtConcurrent::run hands its task to the thread pool under the pool's own lock, and the task reports its end
// under the future's: both inside Qt. The task's run(), inlined into our code, first asks isCanceled(); waiting
// for a future (waitForFinished, result, isFinished) asks the functions below. Pool hand-overs are ordered through
// one token (a task starts after everything its submitter did before submitting it), a future's end through its
// shared private part, the pointer a QFutureInterfaceBase holds after its table of virtual functions.
namespace {

char g_poolHandOver;

void* futureShared(const QFutureInterfaceBase* future)
{
    static_assert(sizeof(QFutureInterfaceBase) == 2 * sizeof(void*), "a table pointer and the private pointer");
    return reinterpret_cast<void* const*>(future)[1];
}

} // namespace

void QThreadPool::start(QRunnable* runnable, int priority)
{
    static const auto real = qtFunction<void (*)(QThreadPool*, QRunnable*, int)>("_ZN11QThreadPool5startEP9QRunnablei");
    __tsan_release(&g_poolHandOver);
    real(this, runnable, priority);
}

bool QFutureInterfaceBase::isCanceled() const
{
    static const auto real = qtFunction<bool (*)(const QFutureInterfaceBase*)>("_ZNK20QFutureInterfaceBase10isCanceledEv");
    __tsan_acquire(&g_poolHandOver);
    return real(this);
}

void QFutureInterfaceBase::reportFinished()
{
    static const auto real = qtFunction<void (*)(QFutureInterfaceBase*)>("_ZN20QFutureInterfaceBase14reportFinishedEv");
    __tsan_release(futureShared(this));
    real(this);
}

bool QFutureInterfaceBase::isFinished() const
{
    static const auto real = qtFunction<bool (*)(const QFutureInterfaceBase*)>("_ZNK20QFutureInterfaceBase10isFinishedEv");
    const bool finished = real(this);
    if (finished)
        __tsan_acquire(futureShared(this));
    return finished;
}

void QFutureInterfaceBase::waitForFinished()
{
    static const auto real = qtFunction<void (*)(QFutureInterfaceBase*)>("_ZN20QFutureInterfaceBase15waitForFinishedEv");
    real(this);
    __tsan_acquire(futureShared(this));
}

void QFutureInterfaceBase::waitForResult(int resultIndex)
{
    static const auto real = qtFunction<void (*)(QFutureInterfaceBase*, int)>("_ZN20QFutureInterfaceBase13waitForResultEi");
    real(this, resultIndex);
    __tsan_acquire(futureShared(this));
}

// --- signals, posted events and thread ends -----------------------------------------------------------------
//
// Everything that crosses threads through Qt's event queue is ordered by one token per object:
// - a signal's sender releases its own token as the signal is emitted (before the call is queued, so everything
//   the emitting thread did up to the emission is ordered), and again once the emission has returned (so is the
//   queued call's own copy of the arguments, unless the receiving thread was quicker still);
// - posting an event, queuing a call by invokeMethod or asking for deleteLater releases the receiver's token;
// - delivering any event acquires the receiver's token, and a queued call (QEvent::MetaCall) also its sender's.
// A thread's end is its QThread's "finished" signal, emitted on the thread after run() has returned: wait() and
// isFinished() acquire the QThread's token once they see the thread finished, and so does the thread's next run
// as it starts.
//
// The hooks: the signal callbacks Qt's test library uses to print emissions (qt_register_signal_spy_callbacks,
// called on the emitting thread) and the event callback Qt calls on every delivery, on the receiving thread
// (QInternal::EventNotifyCallback). Their declarations are Qt's own, restated here since Qt installs no
// private headers.
struct QSignalSpyCallbackSet
{
    using BeginCallback = void (*)(QObject* caller, int signalOrMethodIndex, void** argv);
    using EndCallback = void (*)(QObject* caller, int signalOrMethodIndex);
    BeginCallback signal_begin_callback;
    BeginCallback slot_begin_callback;
    EndCallback signal_end_callback;
    EndCallback slot_end_callback;
};
void qt_register_signal_spy_callbacks(QSignalSpyCallbackSet* callbackSet);

namespace {

// The index among all signals of QThread (its base's first) of its "started" signal.
int threadStartedSignal()
{
    static const int index = [] {
        const QMetaObject& meta = QThread::staticMetaObject;
        int signal = 0;
        for (int i = 0; i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() != QMetaMethod::Signal)
                continue;
            if (method.methodSignature() == "started()")
                return signal;
            ++signal;
        }
        return -1;
    }();
    return index;
}

void signalBegins(QObject* sender, int signalIndex, void**)
{
    // A QThread started again runs after its earlier run ended (start() waits for that inside Qt): the new run's
    // "started", emitted on the new thread before run(), takes what the earlier run's "finished" released.
    if (signalIndex == threadStartedSignal() && qobject_cast<QThread*>(sender))
        __tsan_acquire(sender);
    __tsan_release(sender);
}

void signalEnds(QObject* sender, int)
{
    __tsan_release(sender);
}

// A queued call's sender, as Qt 5.15's QAbstractMetaCallEvent lays it out: the signal's index fills the end of
// the QEvent part (20 bytes of data in 24), the sender's pointer follows at 24. Null for calls queued by
// invokeMethod, which the receiver's token orders.
// The event is Qt's, written by the posting thread and handed over under Qt's queue lock: reading it here is
// part of that hand-over, so these reads are left out of the race checks.
__attribute__((no_sanitize_thread)) QEvent::Type eventType(const QEvent* event)
{
    return event->type();
}

__attribute__((no_sanitize_thread)) const QObject* queuedCallSender(const QEvent* event)
{
    static_assert(sizeof(QEvent) == 24, "the QEvent part of a queued call");
    return *reinterpret_cast<const QObject* const*>(reinterpret_cast<const char*>(event) + sizeof(QEvent));
}

bool eventDelivered(void** data)
{
    auto* receiver = static_cast<QObject*>(data[0]);
    auto* event = static_cast<QEvent*>(data[1]);
    if (receiver)
        __tsan_acquire(receiver);
    if (event && eventType(event) == QEvent::MetaCall) {
        if (const QObject* sender = queuedCallSender(event))
            __tsan_acquire(const_cast<QObject*>(sender));
    }
    return false; // delivered as usual
}

QSignalSpyCallbackSet g_signalHooks{signalBegins, nullptr, signalEnds, nullptr};

// Installed before main(): nothing of the program's runs earlier.
const bool g_hooksInstalled = [] {
    qt_register_signal_spy_callbacks(&g_signalHooks);
    QInternal::registerCallback(QInternal::EventNotifyCallback, eventDelivered);
    return true;
}();

} // namespace

void QCoreApplication::postEvent(QObject* receiver, QEvent* event, int priority)
{
    static const auto real =
        qtFunction<void (*)(QObject*, QEvent*, int)>("_ZN16QCoreApplication9postEventEP7QObjectP6QEventi");
    __tsan_release(receiver);
    real(receiver, event, priority);
}

bool QMetaObject::invokeMethodImpl(QObject* object, QtPrivate::QSlotObjectBase* slot, Qt::ConnectionType type,
                                   void* ret)
{
    static const auto real = qtFunction<bool (*)(QObject*, QtPrivate::QSlotObjectBase*, Qt::ConnectionType, void*)>(
        "_ZN11QMetaObject16invokeMethodImplEP7QObjectPN9QtPrivate15QSlotObjectBaseEN2Qt14ConnectionTypeEPv");
    __tsan_release(object);
    return real(object, slot, type, ret);
}

bool QMetaObject::invokeMethod(QObject* object, const char* member, Qt::ConnectionType type,
                               QGenericReturnArgument ret, QGenericArgument val0, QGenericArgument val1,
                               QGenericArgument val2, QGenericArgument val3, QGenericArgument val4,
                               QGenericArgument val5, QGenericArgument val6, QGenericArgument val7,
                               QGenericArgument val8, QGenericArgument val9)
{
    using Real = bool (*)(QObject*, const char*, Qt::ConnectionType, QGenericReturnArgument, QGenericArgument,
                          QGenericArgument, QGenericArgument, QGenericArgument, QGenericArgument, QGenericArgument,
                          QGenericArgument, QGenericArgument, QGenericArgument, QGenericArgument);
    static const auto real = qtFunction<Real>("_ZN11QMetaObject12invokeMethodEP7QObjectPKcN2Qt14ConnectionTypeE22"
                                              "QGenericReturnArgument16QGenericArgumentS7_S7_S7_S7_S7_S7_S7_S7_S7_");
    __tsan_release(object);
    return real(object, member, type, ret, val0, val1, val2, val3, val4, val5, val6, val7, val8, val9);
}

void QObject::deleteLater()
{
    static const auto real = qtFunction<void (*)(QObject*)>("_ZN7QObject11deleteLaterEv");
    __tsan_release(this);
    real(this);
}

bool QThread::wait(QDeadlineTimer deadline)
{
    static const auto real = qtFunction<bool (*)(QThread*, QDeadlineTimer)>("_ZN7QThread4waitE14QDeadlineTimer");
    const bool ended = real(this, deadline);
    if (ended)
        __tsan_acquire(this);
    return ended;
}

bool QThread::wait(unsigned long time)
{
    static const auto real = qtFunction<bool (*)(QThread*, unsigned long)>("_ZN7QThread4waitEm");
    const bool ended = real(this, time);
    if (ended)
        __tsan_acquire(this);
    return ended;
}

bool QThread::isFinished() const
{
    static const auto real = qtFunction<bool (*)(const QThread*)>("_ZNK7QThread10isFinishedEv");
    const bool finished = real(this);
    if (finished)
        __tsan_acquire(const_cast<QThread*>(this));
    return finished;
}
