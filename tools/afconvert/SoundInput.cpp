#include "afconvert/SoundInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>

namespace afconvert {

std::string SoundInput::open(const std::string& path)
{
    m_fd = FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!m_fd.valid())
        return "cannot open " + path + ": " + std::strerror(errno);
    struct stat info
    {
    };
    const bool haveInfo = ::fstat(m_fd.get(), &info) == 0;
    m_regularFile = haveInfo && S_ISREG(info.st_mode);
    // A FIFO's buffer of 64 KiB makes the extraction and this reading take
    // turns every 32 KiB; a larger one lets each run longer between turns.
    if (haveInfo && S_ISFIFO(info.st_mode))
        ::fcntl(m_fd.get(), F_SETPIPE_SZ, kFifoBytes);
    // Reads wait in poll, where a failure elsewhere can end them.
    const int flags = ::fcntl(m_fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd.get(), F_SETFL, flags | O_NONBLOCK);
    return {};
}

ssize_t SoundInput::readSome(unsigned char* buffer, std::size_t capacity,
                             const Cancellation& cancellation)
{
    for (;;) {
        if (cancellation.triggered())
            return -1;
        const ssize_t n = ::read(m_fd.get(), buffer, capacity);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            m_error = std::string("cannot read the sound: ") + std::strerror(errno);
            return -1;
        }
        if (!waitFor(m_fd.get(), POLLIN, cancellation))
            return -1;
    }
}

WavHeaderParse SoundInput::readHeader(const Cancellation& cancellation)
{
    std::vector<unsigned char> bytes;
    constexpr std::size_t kStep = 4096;
    for (;;) {
        const WavHeaderParse parse = parseWavHeader(bytes.data(), bytes.size());
        if (parse.status == WavHeaderParse::Status::Complete) {
            m_pending.assign(bytes.begin() + std::ptrdiff_t(parse.header.dataOffset), bytes.end());
            m_pendingAt = 0;
            m_remaining = parse.header.dataBytes;
        }
        if (parse.status != WavHeaderParse::Status::NeedMore)
            return parse;
        const std::size_t size = bytes.size();
        bytes.resize(size + kStep);
        const ssize_t n = readSome(bytes.data() + size, kStep, cancellation);
        if (n <= 0) {
            WavHeaderParse failed;
            failed.status = WavHeaderParse::Status::Invalid;
            failed.error = n == 0 ? "the input ends before its first sample" : m_error;
            return failed;
        }
        bytes.resize(size + std::size_t(n));
    }
}

ssize_t SoundInput::read(unsigned char* buffer, std::size_t capacity,
                         const Cancellation& cancellation)
{
    if (m_remaining)
        capacity = std::size_t(std::min<std::uint64_t>(capacity, *m_remaining));
    if (capacity == 0)
        return 0;
    ssize_t n = 0;
    if (m_pendingAt < m_pending.size()) {
        n = ssize_t(std::min(capacity, m_pending.size() - m_pendingAt));
        std::memcpy(buffer, m_pending.data() + m_pendingAt, std::size_t(n));
        m_pendingAt += std::size_t(n);
        if (m_pendingAt == m_pending.size())
            std::vector<unsigned char>().swap(m_pending);
    } else {
        n = readSome(buffer, capacity, cancellation);
    }
    if (n > 0 && m_remaining)
        *m_remaining -= std::uint64_t(n);
    return n;
}

} // namespace afconvert
