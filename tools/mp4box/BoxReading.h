#pragma once

#include "mp4box/Mp4Boxes.h"

#include <cstring>

// The reading helpers the box walkers share: big-endian fields, exact reads
// through a ReadAt, box headers inside a parent and the children of a box.

namespace mp4::detail {

constexpr std::uint32_t kMoov = fourCC("moov");
constexpr std::uint32_t kTrak = fourCC("trak");
constexpr std::uint32_t kTkhd = fourCC("tkhd");
constexpr std::uint32_t kMvhd = fourCC("mvhd");
constexpr std::uint32_t kMdia = fourCC("mdia");
constexpr std::uint32_t kMdhd = fourCC("mdhd");
constexpr std::uint32_t kHdlr = fourCC("hdlr");
constexpr std::uint32_t kMinf = fourCC("minf");
constexpr std::uint32_t kStbl = fourCC("stbl");
constexpr std::uint32_t kStsd = fourCC("stsd");
constexpr std::uint32_t kStsz = fourCC("stsz");
constexpr std::uint32_t kStz2 = fourCC("stz2");
constexpr std::uint32_t kVide = fourCC("vide");
constexpr std::uint32_t kEdts = fourCC("edts");
constexpr std::uint32_t kElst = fourCC("elst");

inline std::uint32_t readU32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

inline std::uint64_t readU64(const std::uint8_t* p)
{
    return (std::uint64_t(readU32(p)) << 32) | readU32(p + 4);
}

inline std::uint16_t readU16(const std::uint8_t* p)
{
    return std::uint16_t((p[0] << 8) | p[1]);
}

// Reads exactly `count` bytes at `offset`, or answers false.
inline bool readExactly(const ReadAt& read, std::uint64_t offset, std::uint8_t* dest,
                        std::size_t count)
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

inline std::optional<BoxHeader> readBoxHeader(const ReadAt& read, std::uint64_t offset,
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

inline ReadAt bufferReader(std::span<const std::uint8_t> data)
{
    return [data](std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
        if (offset >= data.size())
            return std::size_t(0);
        const std::size_t n = std::min<std::uint64_t>(count, data.size() - offset);
        std::memcpy(dest, data.data() + offset, n);
        return n;
    };
}

// Calls `visit` with every child of the box payload [begin, end); false when
// a child header is malformed or `visit` answers false.
template <typename Visit>
inline bool forEachChild(const ReadAt& read, std::uint64_t begin, std::uint64_t end, Visit&& visit)
{
    for (std::uint64_t offset = begin; offset < end;) {
        const auto child = readBoxHeader(read, offset, end);
        if (!child || !visit(*child))
            return false;
        offset = child->end();
    }
    return true;
}

// The first `count` payload bytes of a box; false when it holds fewer.
inline bool readPayload(const ReadAt& read, const BoxHeader& box, std::uint8_t* dest,
                        std::size_t count)
{
    return box.size - box.headerSize >= count &&
           readExactly(read, box.payloadOffset(), dest, count);
}

// A full box's version byte (0 or 1) followed by the fields of that version.
inline bool readVersioned(const ReadAt& read, const BoxHeader& box, std::uint8_t* dest,
                          std::size_t sizeV0, std::size_t sizeV1)
{
    if (!readPayload(read, box, dest, 1) || dest[0] > 1)
        return false;
    return readPayload(read, box, dest, dest[0] == 0 ? sizeV0 : sizeV1);
}

} // namespace mp4::detail
