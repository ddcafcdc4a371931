#include "platform/hid/HidBackend.h"

#include "platform/hid/HidrawBackend.h"

#include <QMutex>

#include <atomic>
#include <cstring>

namespace KHID {
namespace {
std::atomic<HidBackend*> g_backend{nullptr};

QMutex g_openFailureMutex;
HidOpenFailure g_openFailure;
} // namespace

void noteOpenFailure(const QString& path, int error)
{
    QMutexLocker lock(&g_openFailureMutex);
    g_openFailure = {path, error};
}

HidOpenFailure lastOpenFailure()
{
    QMutexLocker lock(&g_openFailureMutex);
    return g_openFailure;
}

void clearOpenFailure()
{
    QMutexLocker lock(&g_openFailureMutex);
    g_openFailure = HidOpenFailure();
}

QString systemErrorText(int error)
{
    if (error == 0)
        return QString();
    // strerror_r in its GNU form: the text may or may not land in the buffer.
    char buffer[256] = {};
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text ? text : buffer);
}

HidBackend* hidBackend()
{
    if (HidBackend* backend = g_backend.load())
        return backend;
    // Real devices unless someone chose otherwise; created on first use and kept for the process.
    static HidrawBackend* const hidraw = new HidrawBackend;
    return hidraw;
}

void setHidBackend(HidBackend* backend)
{
    g_backend.store(backend);
}

} // namespace KHID
