#include "platform/hid/HidBackend.h"

#include <atomic>

namespace KHID {
namespace {
std::atomic<HidBackend*> g_backend{nullptr};
} // namespace

HidBackend* hidBackend()
{
    return g_backend.load();
}

void setHidBackend(HidBackend* backend)
{
    g_backend.store(backend);
}

} // namespace KHID
