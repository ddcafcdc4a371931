#pragma once

#include <QList>
#include <QPointer>

#include <functional>

class KBaseDevice;

// Runs a model's device writes one after the other, in the order they were asked for. The executor runs
// its tasks on a thread pool, where two quick writes of one setting may reach the device in either order;
// through this queue the device ends with the last value asked for, which is the one the model shows.
//
// A step gets the device it was asked for, or null when that device is no longer the current one (a device
// object unplugged meanwhile may already be gone: the step must then fail without touching it). Each step
// calls done() once its last completion has run; the next step starts then.
//
// Threads: GUI thread only.
class DeviceWriteQueue
{
public:
    using Step = std::function<void(KBaseDevice* device)>;

    void enqueue(KBaseDevice* device, Step step);
    void done();

private:
    void runNext();

    struct Queued {
        QPointer<KBaseDevice> device;
        Step step;
    };
    QList<Queued> m_steps;
    bool m_running = false;
};
