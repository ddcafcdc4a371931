#pragma once

// For tests that hand a named pipe to code that must never wait on one: opens the pipe for writing after a
// while and closes it again, unless destroyed first. Should the code under test wait on the pipe after all,
// the wait ends and the test fails on its result instead of hanging.

#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

class PipeRelease
{
public:
    explicit PipeRelease(const QString& path)
    {
        if (path.isEmpty())
            return;
        m_thread = std::thread([this, name = QFile::encodeName(path)] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_done.wait_for(lock, std::chrono::seconds(2), [this] { return m_finished; }))
                return;
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });
    }
    ~PipeRelease()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    PipeRelease(const PipeRelease&) = delete;
    PipeRelease& operator=(const PipeRelease&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};
