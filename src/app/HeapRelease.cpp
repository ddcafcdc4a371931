#include "app/HeapRelease.h"

#include <QQuickWindow>
#include <QTimer>

#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace HeapRelease {

void limitArenas()
{
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 2);
#endif
}

void releaseNow()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void releaseAfterFirstFrame(QQuickWindow* window, int settleMs)
{
    if (!window)
        return;
    // frameSwapped may come from the render thread; the frames queued before the disconnection arrive are ignored.
    auto connection = std::make_shared<QMetaObject::Connection>();
    auto armed = std::make_shared<bool>(false);
    *connection = QObject::connect(window, &QQuickWindow::frameSwapped, window, [window, settleMs, connection, armed] {
        QObject::disconnect(*connection);
        if (*armed)
            return;
        *armed = true;
        QTimer::singleShot(settleMs, window, [] { releaseNow(); });
    });
}

} // namespace HeapRelease
