#include "mp4box/Mp4Boxes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace mp4 {

namespace {

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

std::uint32_t readU32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

std::uint64_t readU64(const std::uint8_t* p)
{
    return (std::uint64_t(readU32(p)) << 32) | readU32(p + 4);
}

std::uint16_t readU16(const std::uint8_t* p)
{
    return std::uint16_t((p[0] << 8) | p[1]);
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

ReadAt bufferReader(std::span<const std::uint8_t> data)
{
    return [data](std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
        if (offset >= data.size())
            return std::size_t(0);
        const std::size_t n = std::min<std::uint64_t>(count, data.size() - offset);
        std::memcpy(dest, data.data() + offset, n);
        return n;
    };
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

// Calls `visit` with every child of the box payload [begin, end); false when
// a child header is malformed or `visit` answers false.
template <typename Visit>
bool forEachChild(const ReadAt& read, std::uint64_t begin, std::uint64_t end, Visit&& visit)
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
bool readPayload(const ReadAt& read, const BoxHeader& box, std::uint8_t* dest, std::size_t count)
{
    return box.size - box.headerSize >= count &&
           readExactly(read, box.payloadOffset(), dest, count);
}

// A full box's version byte (0 or 1) followed by the fields of that version.
bool readVersioned(const ReadAt& read, const BoxHeader& box, std::uint8_t* dest, std::size_t sizeV0,
                   std::size_t sizeV1)
{
    if (!readPayload(read, box, dest, 1) || dest[0] > 1)
        return false;
    return readPayload(read, box, dest, dest[0] == 0 ? sizeV0 : sizeV1);
}

// ISO 639-2 packed as three 5-bit letters; empty for anything else (a
// QuickTime language number, for one).
std::string packedLanguage(std::uint16_t value)
{
    std::string text;
    for (const int shift : {10, 5, 0}) {
        const int letter = (value >> shift) & 0x1f;
        if (letter < 1 || letter > 26)
            return {};
        text += char('a' + letter - 1);
    }
    return text;
}

bool readTrackHeader(const ReadAt& read, const BoxHeader& box, TrackSummary& track)
{
    std::array<std::uint8_t, 48> b{};
    if (!readVersioned(read, box, b.data(), 36, 48))
        return false;
    const bool v1 = b[0] == 1;
    track.enabled = (b[3] & 0x1) != 0;
    track.trackId = readU32(b.data() + (v1 ? 20 : 12));
    track.alternateGroup = readU16(b.data() + (v1 ? 46 : 34));
    return true;
}

bool readMediaHeader(const ReadAt& read, const BoxHeader& box, TrackSummary& track)
{
    std::array<std::uint8_t, 34> b{};
    if (!readVersioned(read, box, b.data(), 22, 34))
        return false;
    const bool v1 = b[0] == 1;
    track.timescale = readU32(b.data() + (v1 ? 20 : 12));
    track.duration = v1 ? readU64(b.data() + 24) : readU32(b.data() + 16);
    track.language = packedLanguage(readU16(b.data() + (v1 ? 32 : 20)));
    return true;
}

// The types of the boxes inside the first entry of a video track's stsd; they
// follow the 78 bytes of fixed fields of a visual sample entry. Empty when
// the entry cannot be walked: these are for telling, not for judging a file.
std::vector<std::uint32_t> visualEntryBoxes(const ReadAt& read, const BoxHeader& stsd)
{
    constexpr std::uint64_t kVisualFields = 78;
    std::vector<std::uint32_t> types;
    const auto entry = readBoxHeader(read, stsd.payloadOffset() + 8, stsd.end());
    if (!entry || entry->size - entry->headerSize < kVisualFields)
        return types;
    const bool ok = forEachChild(read, entry->payloadOffset() + kVisualFields, entry->end(),
                                 [&](const BoxHeader& box) {
                                     types.push_back(box.type);
                                     return true;
                                 });
    if (!ok)
        types.clear();
    return types;
}

bool readSampleTable(const ReadAt& read, const BoxHeader& stbl, TrackSummary& track)
{
    return forEachChild(read, stbl.payloadOffset(), stbl.end(), [&](const BoxHeader& child) {
        std::array<std::uint8_t, 16> b{};
        if (child.type == kStsd) {
            // Entry count, then the first entry's size and type.
            if (!readPayload(read, child, b.data(), 8))
                return false;
            if (readU32(b.data() + 4) > 0) {
                if (!readPayload(read, child, b.data(), 16))
                    return false;
                track.sampleEntry = readU32(b.data() + 12);
                if (track.handler == kVide)
                    track.sampleEntryBoxes = visualEntryBoxes(read, child);
            }
        } else if (child.type == kStsz || child.type == kStz2) {
            if (!readPayload(read, child, b.data(), 12))
                return false;
            track.sampleCount = readU32(b.data() + 8);
        }
        return true;
    });
}

bool readMedia(const ReadAt& read, const BoxHeader& mdia, TrackSummary& track)
{
    return forEachChild(read, mdia.payloadOffset(), mdia.end(), [&](const BoxHeader& child) {
        std::array<std::uint8_t, 12> b{};
        if (child.type == kMdhd)
            return readMediaHeader(read, child, track);
        if (child.type == kHdlr) {
            if (!readPayload(read, child, b.data(), 12))
                return false;
            track.handler = readU32(b.data() + 8);
        } else if (child.type == kMinf) {
            return forEachChild(
                read, child.payloadOffset(), child.end(), [&](const BoxHeader& inner) {
                    return inner.type != kStbl || readSampleTable(read, inner, track);
                });
        }
        return true;
    });
}

// The empty edits at the head of an edit list: those with media time -1
// before the first edit that shows media.
bool readEditList(const ReadAt& read, const BoxHeader& elst, TrackSummary& track)
{
    std::array<std::uint8_t, 8> head{};
    if (!readPayload(read, elst, head.data(), 8) || head[0] > 1)
        return false;
    const bool v1 = head[0] == 1;
    const std::uint64_t entrySize = v1 ? 20 : 12;
    const std::uint64_t count = std::min<std::uint64_t>(
        readU32(head.data() + 4), (elst.size - elst.headerSize - 8) / entrySize);
    for (std::uint64_t i = 0; i < count; ++i) {
        std::array<std::uint8_t, 20> e{};
        if (!readExactly(read, elst.payloadOffset() + 8 + i * entrySize, e.data(), entrySize))
            return false;
        const std::uint64_t duration = v1 ? readU64(e.data()) : readU32(e.data());
        const std::int64_t mediaTime = v1 ? std::int64_t(readU64(e.data() + 8))
                                          : std::int64_t(std::int32_t(readU32(e.data() + 4)));
        if (mediaTime != -1)
            break;
        track.emptyEditDuration += duration;
    }
    return true;
}

bool readMovie(const ReadAt& read, const BoxHeader& moov, MovieSummary& movie)
{
    return forEachChild(read, moov.payloadOffset(), moov.end(), [&](const BoxHeader& child) {
        if (child.type == kMvhd) {
            std::array<std::uint8_t, 32> b{};
            if (!readVersioned(read, child, b.data(), 20, 32))
                return false;
            const bool v1 = b[0] == 1;
            movie.timescale = readU32(b.data() + (v1 ? 20 : 12));
            movie.duration = v1 ? readU64(b.data() + 24) : readU32(b.data() + 16);
        } else if (child.type == kTrak) {
            TrackSummary track;
            const bool ok =
                forEachChild(read, child.payloadOffset(), child.end(), [&](const BoxHeader& box) {
                    if (box.type == kTkhd)
                        return readTrackHeader(read, box, track);
                    if (box.type == kEdts)
                        return forEachChild(
                            read, box.payloadOffset(), box.end(), [&](const BoxHeader& inner) {
                                return inner.type != kElst || readEditList(read, inner, track);
                            });
                    return box.type != kMdia || readMedia(read, box, track);
                });
            if (!ok)
                return false;
            movie.tracks.push_back(track);
        }
        return true;
    });
}

} // namespace

std::optional<MovieSummary> readMovieSummary(const ReadAt& read, std::uint64_t totalSize)
{
    for (std::uint64_t offset = 0; offset < totalSize;) {
        const auto box = readBoxHeader(read, offset, totalSize);
        if (!box)
            return std::nullopt;
        if (box->type == kMoov) {
            MovieSummary movie;
            if (!readMovie(read, *box, movie))
                return std::nullopt;
            return movie;
        }
        offset = box->end();
    }
    return std::nullopt;
}

std::optional<MovieSummary> readMovieSummary(std::span<const std::uint8_t> data)
{
    return readMovieSummary(bufferReader(data), data.size());
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
