#pragma once

// Makes every write beyond a few bytes fail with "file too large" for as long as the object lives, so tests
// can show what a failed write leaves behind (permissions do not stop a test run as root).

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit limited = mOld;
        limited.rlim_cur = bytes;
        mActive = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }
    bool isActive() const { return mActive; }

private:
    rlimit mOld{};
    void (*mOldHandler)(int) = nullptr;
    bool mActive = false;
};
