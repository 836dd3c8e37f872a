#pragma once

#include "subocr/LibavHandles.h"

#include <cstdint>
#include <vector>

namespace subocr {

// Bytes in memory read by libavformat as if they were a seekable file.
class MemoryIo
{
public:
    explicit MemoryIo(std::vector<std::uint8_t> bytes);
    MemoryIo(const MemoryIo&) = delete;
    MemoryIo& operator=(const MemoryIo&) = delete;

    // Null when libav could not allocate it.
    AVIOContext* context() const { return m_io.get(); }

private:
    static int read(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence);

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    IoContextPtr m_io;
};

} // namespace subocr
