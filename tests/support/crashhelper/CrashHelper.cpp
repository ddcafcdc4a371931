// Installs the crash handler for the folder given as the first argument, then crashes the way the second
// argument names: null-write, abort, divide, sigbus, sigill, two-threads, overflow (of the main thread's stack),
// thread-overflow (of a started thread's stack).
#include "platform/crash/BreakpadHandler.h"
#include "platform/crash/CrashDumpWriter.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {

volatile int g_zero = 0;

[[gnu::noinline]] void writeNull()
{
    volatile int* pointer = nullptr;
    *pointer = 42;
}

// Recurses until the stack runs out.
[[gnu::noinline]] int recurse(int depth)
{
    volatile char frame[256];
    frame[0] = static_cast<char>(depth);
    return recurse(depth + 1) + frame[0];
}

[[gnu::noinline]] int divide(int a)
{
    return a / g_zero;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        fprintf(stderr, "usage: %s <dump folder> <null-write|abort|divide|sigbus|sigill|two-threads|overflow|thread-overflow>\n", argv[0]);
        return 2;
    }
    BreakpadHandler::instance()->setDumpPath(QString::fromLocal8Bit(argv[1]));
    const char* how = argv[2];
    if (strcmp(how, "null-write") == 0) {
        writeNull();
    } else if (strcmp(how, "abort") == 0) {
        abort();
    } else if (strcmp(how, "divide") == 0) {
        printf("%d\n", divide(7));
    } else if (strcmp(how, "sigbus") == 0) {
        raise(SIGBUS);
    } else if (strcmp(how, "sigill") == 0) {
        raise(SIGILL);
    } else if (strcmp(how, "overflow") == 0) {
        printf("%d\n", recurse(0));
    } else if (strcmp(how, "thread-overflow") == 0) {
        std::thread overflowing([] {
            Platform::prepareCrashStack();
            printf("%d\n", recurse(0));
        });
        overflowing.join();
    } else if (strcmp(how, "two-threads") == 0) {
        volatile bool go = false;
        auto crash = [&go] {
            Platform::prepareCrashStack();
            while (!go) {
            }
            writeNull();
        };
        std::thread first(crash);
        std::thread second(crash);
        usleep(20000);
        go = true;
        first.join();
        second.join();
    }
    return 3;
}
