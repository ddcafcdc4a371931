#include "devices/RegisterTransaction.h"

#include "platform/sys/PlatformTime.h"

#include <QMutex>
#include <QMutexLocker>

namespace RegisterTransaction {

bool write(QMutex* mutex, const Pacing& pacing, const Step& send, const Step& statusDone)
{
    QMutexLocker lock(mutex);
    for (int attempt = 0; attempt < pacing.tries; ++attempt) {
        if (!send())
            continue;
        Platform::sleepMs(pacing.delayMs);
        if (statusDone())
            return true;
        Platform::sleepMs(pacing.delayMs);
    }
    return false;
}

bool read(QMutex* mutex, const Pacing& pacing, const Step& send, const Step& statusDone)
{
    QMutexLocker lock(mutex);
    bool sent = false;
    for (int attempt = 0; attempt < pacing.tries && !sent; ++attempt) {
        sent = send();
        if (!sent && (attempt + 1 < pacing.tries || pacing.waitAfterLastSendFailure))
            Platform::sleepMs(pacing.delayMs);
    }
    if (!sent)
        return false;
    for (int attempt = 0; attempt < pacing.tries; ++attempt) {
        if (attempt > 0 || pacing.waitBeforeFirstRead)
            Platform::sleepMs(pacing.delayMs);
        if (statusDone())
            return true;
    }
    if (pacing.waitAfterLastReadFailure)
        Platform::sleepMs(pacing.delayMs);
    return false;
}

} // namespace RegisterTransaction
