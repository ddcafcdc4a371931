#include "CoreTestDevice.h"

#include <atomic>

namespace {
std::atomic<int> g_live{0};
}

CoreTestDevice::CoreTestDevice(int pid)
    : m_pid(pid)
{
    ++g_live;
}

CoreTestDevice::~CoreTestDevice()
{
    --g_live;
}

int CoreTestDevice::liveCount()
{
    return g_live.load();
}

bool CoreTestDevice::initDevice()
{
    opened = true;
    return opened;
}
