#include "mp4box/Mp4Boxes.h"

#include <array>
#include <cstring>
#include <limits>

namespace mp4 {

namespace {

constexpr std::uint32_t kMoov = fourCC("moov");
constexpr std::uint32_t kTrak = fourCC("trak");
constexpr std::uint32_t kTkhd = fourCC("tkhd");

std::uint32_t readU32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

std::uint64_t readU64(const std::uint8_t* p)
{
    return (std::uint64_t(readU32(p)) << 32) | readU32(p + 4);
}

// Reads exactly `count` bytes at `offset`, or answers false.
bool readExactly(const ReadAt& read, std::uint64_t offset, std::uint8_t* dest, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = read(offset + done, dest + done, count - done);
        if (got == 0 || got > count - done)
            return false;
        done += got;
    }
    return true;
}

std::optional<BoxHeader> readBoxHeader(const ReadAt& read, std::uint64_t offset,
                                       std::uint64_t parentEnd)
{
    if (offset >= parentEnd)
        return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    const std::uint64_t room = parentEnd - offset;
    const std::size_t wanted = room < bytes.size() ? std::size_t(room) : bytes.size();
    // A plain header needs 8 bytes; the 64-bit form needs all 16.
    if (wanted < 8 || !readExactly(read, offset, bytes.data(), 8))
        return std::nullopt;
    std::size_t available = 8;
    if (readU32(bytes.data()) == 1 && wanted >= 16) {
        if (!readExactly(read, offset + 8, bytes.data() + 8, 8))
            return std::nullopt;
        available = 16;
    }
    return parseBoxHeader(bytes.data(), available, offset, parentEnd);
}

// Looks at one trak box: answers Found with the flags offset when its tkhd
// carries `trackId`, NoSuchTrack when it carries another one (or has none).
TrackLookup lookAtTrack(const ReadAt& read, const BoxHeader& trak, std::uint32_t trackId)
{
    std::uint64_t offset = trak.payloadOffset();
    while (offset < trak.end()) {
        const auto child = readBoxHeader(read, offset, trak.end());
        if (!child)
            return {TrackLookupStatus::Malformed, 0};
        if (child->type == kTkhd) {
            // Full box: version (1 byte) and flags (3 bytes), then creation and
            // modification times (32 or 64 bits each by version), then the ID.
            const std::uint64_t payloadSize = child->size - child->headerSize;
            std::array<std::uint8_t, 24> head{};
            if (payloadSize < 16 || !readExactly(read, child->payloadOffset(), head.data(), 16))
                return {TrackLookupStatus::Malformed, 0};
            std::uint32_t id = 0;
            if (head[0] == 0) {
                id = readU32(head.data() + 12);
            } else if (head[0] == 1) {
                if (payloadSize < 24 ||
                    !readExactly(read, child->payloadOffset() + 16, head.data() + 16, 8))
                    return {TrackLookupStatus::Malformed, 0};
                id = readU32(head.data() + 20);
            } else {
                return {TrackLookupStatus::Malformed, 0};
            }
            if (id != trackId)
                return {TrackLookupStatus::NoSuchTrack, 0};
            // The enabled bit is the lowest bit of the 24-bit flags, so it
            // lives in the last of the three flags bytes.
            return {TrackLookupStatus::Found, child->payloadOffset() + 3};
        }
        offset = child->end();
    }
    return {TrackLookupStatus::NoSuchTrack, 0};
}

TrackLookup lookInMovie(const ReadAt& read, const BoxHeader& moov, std::uint32_t trackId)
{
    std::uint64_t offset = moov.payloadOffset();
    while (offset < moov.end()) {
        const auto child = readBoxHeader(read, offset, moov.end());
        if (!child)
            return {TrackLookupStatus::Malformed, 0};
        if (child->type == kTrak) {
            const TrackLookup found = lookAtTrack(read, *child, trackId);
            if (found.status != TrackLookupStatus::NoSuchTrack)
                return found;
        }
        offset = child->end();
    }
    return {TrackLookupStatus::NoSuchTrack, 0};
}

} // namespace

std::optional<BoxHeader> parseBoxHeader(const std::uint8_t* bytes, std::size_t available,
                                        std::uint64_t offset, std::uint64_t parentEnd)
{
    if (bytes == nullptr || available < 8 || offset >= parentEnd)
        return std::nullopt;
    const std::uint64_t room = parentEnd - offset;
    BoxHeader header;
    header.offset = offset;
    header.type = readU32(bytes + 4);
    const std::uint32_t size32 = readU32(bytes);
    if (size32 == 1) {
        if (available < 16 || room < 16)
            return std::nullopt;
        header.headerSize = 16;
        header.size = readU64(bytes + 8);
    } else if (size32 == 0) {
        header.headerSize = 8;
        header.size = room;
    } else {
        header.headerSize = 8;
        header.size = size32;
    }
    if (header.size < header.headerSize || header.size > room)
        return std::nullopt;
    return header;
}

TrackLookup findTrackHeader(const ReadAt& read, std::uint64_t totalSize, std::uint32_t trackId)
{
    std::uint64_t offset = 0;
    while (offset < totalSize) {
        const auto box = readBoxHeader(read, offset, totalSize);
        if (!box)
            return {TrackLookupStatus::Malformed, 0};
        if (box->type == kMoov)
            return lookInMovie(read, *box, trackId);
        offset = box->end();
    }
    return {TrackLookupStatus::NoMovieBox, 0};
}

TrackLookup findTrackHeader(std::span<const std::uint8_t> data, std::uint32_t trackId)
{
    const ReadAt read = [data](std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
        if (offset >= data.size())
            return std::size_t(0);
        const std::size_t n = std::min<std::uint64_t>(count, data.size() - offset);
        std::memcpy(dest, data.data() + offset, n);
        return n;
    };
    return findTrackHeader(read, data.size(), trackId);
}

std::optional<std::uint64_t> findTkhdFlagsOffset(std::span<const std::uint8_t> data,
                                                 std::uint32_t trackId)
{
    const TrackLookup found = findTrackHeader(data, trackId);
    if (found.status != TrackLookupStatus::Found)
        return std::nullopt;
    return found.flagsOffset;
}

std::optional<std::uint32_t> parseTrackId(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + std::uint64_t(c - '0');
    }
    if (value == 0 || value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return std::uint32_t(value);
}

} // namespace mp4
