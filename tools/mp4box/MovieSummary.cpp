#include "mp4box/BoxReading.h"
#include "mp4box/Mp4Boxes.h"

#include <array>

// Reading back a written movie's header boxes: what a player learns of each
// track without reading any media data.

namespace mp4 {

using namespace detail;

namespace {

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
        if (mediaTime != -1) {
            // 0 in a fragmented file: as long as the media.
            if (duration > 0)
                track.mediaEditDuration = duration;
            break;
        }
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

} // namespace mp4
