#include "hid/DeviceResultWait.h"

#include "hid/KBaseDevice.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {
// How often the wait looks whether the device is still there: unplugging sets a flag, it sends no event.
constexpr int kPollMs = 20;
} // namespace

struct DeviceResultWait::State {
    QEventLoop* loop = nullptr;
    bool done = false;
};

DeviceResultWait::DeviceResultWait(KBaseDevice* device, int timeoutMs)
    : m_state(std::make_shared<State>())
    , m_device(device)
    , m_timeoutMs(timeoutMs)
{
}

DeviceResultWait::~DeviceResultWait()
{
    m_state->loop = nullptr;
}

std::function<void()> DeviceResultWait::finisher() const
{
    return [state = m_state] {
        state->done = true;
        if (state->loop)
            state->loop->quit();
    };
}

bool DeviceResultWait::wait()
{
    if (m_state->done)
        return true;
    const auto deviceGone = [this] { return !m_device || m_device->isRemoved(); };
    if (deviceGone())
        return false;

    QEventLoop loop;
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (deviceGone() || elapsed.hasExpired(m_timeoutMs))
            loop.quit();
    });
    poll.start();
    m_state->loop = &loop;
    loop.exec();
    m_state->loop = nullptr;

    if (!m_state->done)
        qDebug() << "[Error] no answer from the device:" << (deviceGone() ? "it was removed" : "time-out");
    return m_state->done;
}
