#include "mp4box/Mp4Boxes.h"

#include "mp4box/BoxReading.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace mp4 {

using namespace detail;

namespace {

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
    return findTrackHeader(bufferReader(data), data.size(), trackId);
}

std::optional<std::uint64_t> findTkhdFlagsOffset(std::span<const std::uint8_t> data,
                                                 std::uint32_t trackId)
{
    const TrackLookup found = findTrackHeader(data, trackId);
    if (found.status != TrackLookupStatus::Found)
        return std::nullopt;
    return found.flagsOffset;
}
namespace {

// The first child of the given type in the box payload; nothing when there is
// none, Malformed (in `status`) when a child header is bad.
std::optional<BoxHeader> firstChildOfType(const ReadAt& read, const BoxHeader& parent,
                                          std::uint32_t type, TrackLookupStatus& status)
{
    std::optional<BoxHeader> found;
    const bool ok =
        forEachChild(read, parent.payloadOffset(), parent.end(), [&](const BoxHeader& child) {
            if (child.type == type && !found)
                found = child;
            return true;
        });
    status = ok ? TrackLookupStatus::Found : TrackLookupStatus::Malformed;
    return found;
}

SampleEntryLookup firstEntryOfTrack(const ReadAt& read, const BoxHeader& trak)
{
    BoxHeader box = trak;
    for (const std::uint32_t type : {kMdia, kMinf, kStbl, kStsd}) {
        TrackLookupStatus status = TrackLookupStatus::Found;
        const auto child = firstChildOfType(read, box, type, status);
        if (status != TrackLookupStatus::Found)
            return {status, 0, 0};
        if (!child)
            return {TrackLookupStatus::NoSampleDescription, 0, 0};
        box = *child;
    }
    // stsd is a full box: version and flags, the entry count, the entries.
    std::array<std::uint8_t, 8> head{};
    if (!readPayload(read, box, head.data(), head.size()))
        return {TrackLookupStatus::Malformed, 0, 0};
    if (readU32(head.data() + 4) == 0)
        return {TrackLookupStatus::NoSampleDescription, 0, 0};
    const auto entry = readBoxHeader(read, box.payloadOffset() + 8, box.end());
    if (!entry)
        return {TrackLookupStatus::Malformed, 0, 0};
    // The type follows the 32-bit size also when a 64-bit size comes after it.
    return {TrackLookupStatus::Found, entry->offset + 4, entry->type};
}

} // namespace

SampleEntryLookup findSampleEntry(const ReadAt& read, std::uint64_t totalSize,
                                  std::uint32_t trackId)
{
    for (std::uint64_t offset = 0; offset < totalSize;) {
        const auto box = readBoxHeader(read, offset, totalSize);
        if (!box)
            return {TrackLookupStatus::Malformed, 0, 0};
        if (box->type != kMoov) {
            offset = box->end();
            continue;
        }
        SampleEntryLookup found{TrackLookupStatus::NoSuchTrack, 0, 0};
        const bool ok =
            forEachChild(read, box->payloadOffset(), box->end(), [&](const BoxHeader& child) {
                if (child.type != kTrak)
                    return true;
                const TrackLookupStatus header = lookAtTrack(read, child, trackId).status;
                if (header == TrackLookupStatus::NoSuchTrack)
                    return true;
                found = header == TrackLookupStatus::Found
                            ? firstEntryOfTrack(read, child)
                            : SampleEntryLookup{TrackLookupStatus::Malformed, 0, 0};
                return false;
            });
        if (!ok && found.status == TrackLookupStatus::NoSuchTrack)
            return {TrackLookupStatus::Malformed, 0, 0};
        return found;
    }
    return {TrackLookupStatus::NoMovieBox, 0, 0};
}

SampleEntryLookup findSampleEntry(std::span<const std::uint8_t> data, std::uint32_t trackId)
{
    return findSampleEntry(bufferReader(data), data.size(), trackId);
}

std::optional<std::uint32_t> parseFourCC(const std::string& text)
{
    if (text.size() != 4)
        return std::nullopt;
    std::uint32_t code = 0;
    for (const char c : text) {
        if (c < 0x20 || c > 0x7e)
            return std::nullopt;
        code = (code << 8) | std::uint8_t(c);
    }
    return code;
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
