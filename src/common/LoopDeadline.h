#pragma once

#include <QEventLoop>
#include <QTimer>

#include <functional>

// Runs an event loop until it is quit or a time limit passes. The timer belongs to this one wait and goes with it,
// so none stays armed (and wakes an idle program later) once the work has answered.
// Thread: the thread that runs the loop; the loop outlives the call.
inline void execWithDeadline(QEventLoop& loop, int timeoutMs, const std::function<void()>& onExpiry = {})
{
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&loop, &onExpiry] {
        if (onExpiry)
            onExpiry();
        loop.quit();
    });
    deadline.start(timeoutMs);
    loop.exec();
}
