#include "BrokenFirmware.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BrokenFirmware {

QStringList cases()
{
    return {"missing", "empty", "oversize", "html page", "json answer", "text", "fifo", "folder"};
}

QByteArray image(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 3) & 0xFF);
    return bytes;
}

QByteArray htmlPage()
{
    QByteArray page = "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
                      "<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p>\n"
                      "<hr><address>Server at 127.0.0.1 Port 80</address>\n";
    page += QByteArray(326 - 8 - page.size(), ' ');
    page += "</body>\n";
    Q_ASSERT(page.size() == 326);
    return page;
}

QByteArray jsonAnswer()
{
    return "{\"code\":10003,\"msg\":\"no such version\",\"data\":{\"downloadUrl\":\"\",\"version\":\"\"},"
           "\"detail\":\"the version type asked for is not known to this server\"}";
}

bool make(const QString& path, const QString& which, qint64 maxBytes)
{
    QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    if (which == QLatin1String("missing"))
        return true;
    if (which == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (which == QLatin1String("folder"))
        return QDir().mkpath(path);
    QByteArray bytes;
    if (which == QLatin1String("oversize"))
        bytes = image(int(maxBytes) + 1);
    else if (which == QLatin1String("html page"))
        bytes = htmlPage();
    else if (which == QLatin1String("json answer"))
        bytes = jsonAnswer();
    else if (which == QLatin1String("text"))
        bytes = QByteArray("firmware version 2.1\r\n").repeated(20);
    else if (which != QLatin1String("empty"))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

FifoWatchdog::FifoWatchdog(const QString& path, int afterMs)
{
    const QByteArray name = QFile::encodeName(path);
    m_thread = std::thread([this, name, afterMs] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(afterMs);
        while (!m_stop.load() && std::chrono::steady_clock::now() < until)
            ::usleep(20000);
        if (m_stop.load())
            return;
        // Only a reader waiting in its open lets a non-blocking writer open the FIFO.
        const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            m_fired.store(true);
            ::close(fd);
        }
    });
}

FifoWatchdog::~FifoWatchdog()
{
    m_stop.store(true);
    m_thread.join();
}

} // namespace BrokenFirmware
