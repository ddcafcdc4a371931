#pragma once

#include <QPointer>

#include <functional>
#include <memory>

class KBaseDevice;

// Waits on the GUI thread, in a local event loop, for one device task's completion. The wait is bounded: it
// also ends when the time-out runs out or when the device is unplugged (marked removed) or deleted, so a
// device that goes away mid-wait never hangs the user interface. Events, other completions included, keep
// running during the wait.
//
//   DeviceResultWait wait(device);
//   work.run([device] { return device->getDpiIndex(); }, [this, done = wait.finisher()](int index) {
//       ...           // handle the result
//       done();
//   });
//   wait.wait();
//
// The finisher may still be called after the wait has ended (a late completion); it then does nothing.
//
// Threads: GUI thread only.
class DeviceResultWait
{
public:
    // Long enough for any single device exchange with its retries.
    static constexpr int kDefaultTimeoutMs = 3000;

    explicit DeviceResultWait(KBaseDevice* device, int timeoutMs = kDefaultTimeoutMs);
    ~DeviceResultWait();
    DeviceResultWait(const DeviceResultWait&) = delete;
    DeviceResultWait& operator=(const DeviceResultWait&) = delete;

    std::function<void()> finisher() const;

    // True when the finisher was called; false after the time-out or when the device went away first.
    bool wait();

private:
    struct State;
    std::shared_ptr<State> m_state;
    QPointer<KBaseDevice> m_device;
    int m_timeoutMs;
};
