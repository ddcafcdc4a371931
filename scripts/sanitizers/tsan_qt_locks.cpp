// Linked into every program of the ThreadSanitizer build (CORVANE_SANITIZE=thread) and nowhere else.
//
// Qt's libraries are not instrumented: a QMutex, QWaitCondition, QSemaphore, thread pool or future is taken and released inside
// libQt5Core, out of ThreadSanitizer's sight, so every access our code guards with one would be reported as a
// race. Our calls to these out-of-line functions bind to the definitions below (a program's own definition comes
// before the shared library's); each forwards to Qt's and tells ThreadSanitizer that the lock was acquired or
// released. Qt's calls inside its own library still go straight to Qt (it binds its own symbols): what is left of
// those is in tsan.supp.
#include <QDeadlineTimer>
#include <QFutureInterfaceBase>
#include <QMutex>
#include <QSemaphore>
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
