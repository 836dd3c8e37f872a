#pragma once

#include "afconvert/Cancellation.h"
#include "afconvert/FileDescriptor.h"
#include "afconvert/WavHeader.h"

#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace afconvert {

// The buffer asked for a FIFO that brings the sound (the most an unprivileged
// process may ask for by default).
constexpr int kFifoBytes = 1 << 20;

// The WAV stream afconvert encodes, read from a file or from a FIFO as the
// sound comes: first its header, then its samples, up to the end the header
// names or else to the end of input.
class SoundInput
{
public:
    // Opens the file (for a FIFO: waits for its writer). The error is empty
    // on success.
    std::string open(const std::string& path);
    bool isRegularFile() const { return m_regularFile; }

    // Reads up to the first sample; the bytes read past it are kept as the
    // first samples.
    WavHeaderParse readHeader(const Cancellation& cancellation);

    // Reads samples into the buffer: the bytes read, 0 at the end of the
    // sound, -1 when reading failed (error()) or was cancelled.
    ssize_t read(unsigned char* buffer, std::size_t capacity, const Cancellation& cancellation);
    const std::string& error() const { return m_error; }

private:
    // Reads what is there, waiting until something is.
    ssize_t readSome(unsigned char* buffer, std::size_t capacity, const Cancellation& cancellation);

    FileDescriptor m_fd;
    bool m_regularFile = false;
    std::vector<unsigned char> m_pending;
    std::size_t m_pendingAt = 0;
    std::optional<std::uint64_t> m_remaining;
    std::string m_error;
};

} // namespace afconvert
