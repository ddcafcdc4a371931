#include "platform/hid/HidBackend.h"

#include "platform/hid/HidrawBackend.h"

#include <atomic>

namespace KHID {
namespace {
std::atomic<HidBackend*> g_backend{nullptr};
} // namespace

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
