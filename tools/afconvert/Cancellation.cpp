#include "afconvert/Cancellation.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <utility>

namespace afconvert {

Cancellation::Cancellation()
{
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_read = FileDescriptor(fds[0]);
        m_write = FileDescriptor(fds[1]);
    }
}

void Cancellation::trigger()
{
    if (m_triggered.exchange(true))
        return;
    const char byte = 1;
    if (m_write.valid()) {
        [[maybe_unused]] const ssize_t ignored = ::write(m_write.get(), &byte, 1);
    }
    const std::lock_guard lock(m_wakerMutex);
    if (m_waker)
        m_waker();
}

void Cancellation::setWaker(std::function<void()> waker)
{
    const std::lock_guard lock(m_wakerMutex);
    m_waker = std::move(waker);
}

bool waitFor(int fd, short events, const Cancellation& cancellation)
{
    pollfd fds[2] = {{fd, events, 0}, {cancellation.m_read.get(), POLLIN, 0}};
    const nfds_t count = cancellation.m_read.valid() ? 2 : 1;
    for (;;) {
        if (cancellation.triggered())
            return false;
        const int ready = ::poll(fds, count, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return false;
        if (count == 2 && fds[1].revents != 0)
            return false;
        // An error or hang-up is left to the read or write that follows.
        if (fds[0].revents != 0)
            return true;
    }
}

} // namespace afconvert
