#pragma once

#include "afconvert/FileDescriptor.h"

#include <atomic>
#include <functional>
#include <mutex>

namespace afconvert {

// Set once by whichever thread fails or is told to stop; the threads waiting
// on a pipe or a file see it at once (its descriptor becomes readable), the
// ones waiting on a condition through the waker, the working ones the next
// time they look.
class Cancellation
{
public:
    Cancellation();
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    void trigger();
    bool triggered() const { return m_triggered.load(); }
    // Called by trigger() once the flag is set (from the triggering thread);
    // empty for none.
    void setWaker(std::function<void()> waker);

private:
    friend bool waitFor(int fd, short events, const Cancellation& cancellation);
    std::atomic<bool> m_triggered{false};
    std::mutex m_wakerMutex;
    std::function<void()> m_waker;
    FileDescriptor m_read;
    FileDescriptor m_write;
};

// Waits until fd is ready for `events` (POLLIN or POLLOUT): false when the
// cancellation came first or poll failed.
bool waitFor(int fd, short events, const Cancellation& cancellation);

} // namespace afconvert
