#include "subocr/MemoryIo.h"

#include <algorithm>
#include <cstring>

namespace subocr {

namespace {
constexpr int kBufferSize = 32 * 1024;
}

MemoryIo::MemoryIo(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes))
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (buffer == nullptr)
        return;
    m_io.reset(avio_alloc_context(buffer, kBufferSize, 0, this, &MemoryIo::read, nullptr,
                                  &MemoryIo::seek));
    if (!m_io)
        av_free(buffer);
}

int MemoryIo::read(void* opaque, std::uint8_t* buffer, int size)
{
    auto* self = static_cast<MemoryIo*>(opaque);
    const std::size_t left = self->m_bytes.size() - self->m_at;
    const std::size_t count = std::min(left, std::size_t(std::max(size, 0)));
    if (count == 0)
        return AVERROR_EOF;
    std::memcpy(buffer, self->m_bytes.data() + self->m_at, count);
    self->m_at += count;
    return int(count);
}

std::int64_t MemoryIo::seek(void* opaque, std::int64_t offset, int whence)
{
    auto* self = static_cast<MemoryIo*>(opaque);
    const auto size = std::int64_t(self->m_bytes.size());
    std::int64_t target = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        target = std::int64_t(self->m_at) + offset;
        break;
    case SEEK_END:
        target = size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (target < 0 || target > size)
        return AVERROR(EINVAL);
    self->m_at = std::size_t(target);
    return target;
}

} // namespace subocr
