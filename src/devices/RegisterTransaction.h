#pragma once

#include <functional>

class QMutex;

// The request/response exchange of the register families (the keyboard and the register mice): a packet is
// sent as an output report, then the device's status is polled until it says done. The transport of each
// family supplies the send and the status read; the exchange supplies the retries and the waits, all under
// the shared transaction mutex from the first send to the last status read, so exchanges never interleave.
// Waits go through the platform sleep hook.
//
// Threads: called on pool threads; the mutex may be null (a transport without a channel fails at once).
namespace RegisterTransaction {

// How a family paces its exchanges.
struct Pacing {
    int tries;                      // sends, and status reads, per exchange
    int delayMs;                    // the wait between two steps
    bool waitBeforeFirstRead;       // a read exchange waits once between its send and its first status read
    bool waitAfterLastSendFailure;  // a read exchange whose last send failed still waits before giving up
    bool waitAfterLastReadFailure;  // a read exchange whose last status read failed waits before giving up
};

// True when the device answered done to the packet.
using Step = std::function<bool()>;

// A write: send, wait, read the status; anything but done waits and sends again. A failed send is retried
// at once. False after `tries` attempts.
bool write(QMutex* mutex, const Pacing& pacing, const Step& send, const Step& statusDone);

// A read: send until a send succeeds (at most `tries`), then read the status until done (at most `tries`).
bool read(QMutex* mutex, const Pacing& pacing, const Step& send, const Step& statusDone);

} // namespace RegisterTransaction
