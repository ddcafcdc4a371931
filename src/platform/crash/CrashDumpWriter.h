#pragma once

#include <string>

// The process's crash handler: on SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT it writes one minidump
// (MinidumpFormat.h) into a prepared folder, writes a prepared line to standard error, restores the default
// action and lets the signal end the process as it would have.
//
// Each module of the dump carries the build id of its ELF file, so that symbol files made from the same build
// can be matched to it: read by install() for the modules loaded then, and in the handler through the kernel
// (process_vm_readv, which fails instead of faulting) for modules loaded later.
//
// Threads: install() from one thread, once, before any crash; the handler itself may run on any thread and
// uses only async-signal-safe calls (everything it needs is opened and allocated by install()). When several
// threads crash at once, the first writes the dump and the others wait for the process to end.
namespace Platform {

struct CrashHandlerSetup {
    std::string folder;      // absolute, existing
    std::string dumpId;      // the dump is written to folder + "/" + dumpId + ".dmp"
    std::string successLine; // written to standard error after the dump was written (newline included)
    std::string failureLine; // written instead when it could not be written
};

// Installs the handler; false (and nothing installed) when the folder cannot be opened. A second call only
// replaces the prepared folder, name and lines.
bool installCrashHandler(const CrashHandlerSetup& setup);

// Gives the calling thread its own alternate signal stack, so that a stack overflow can still be reported;
// given back when the thread ends. Cheap when the thread has one: threads call it as they start their work.
// The thread that calls installCrashHandler() gets one there.
void prepareCrashStack();

} // namespace Platform
