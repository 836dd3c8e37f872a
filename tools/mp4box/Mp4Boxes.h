#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Walks ISO base media boxes (MP4, MOV) to find the track header or the
// sample description of one track. Everything here works over a read-at callback so that a file is
// walked with seeks (only box headers and the track headers are read, never the media data), while
// tests and fuzzers can hand in a plain byte buffer.

namespace mp4 {

// Reads up to `count` bytes at `offset` into `dest`; answers how many were read.
using ReadAt =
    std::function<std::size_t(std::uint64_t offset, std::uint8_t* dest, std::size_t count)>;

// One box as found in its parent: where it starts, how long its header is and
// its total size (header included).
struct BoxHeader
{
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t headerSize = 0;
    std::uint64_t size = 0;

    std::uint64_t payloadOffset() const { return offset + headerSize; }
    std::uint64_t end() const { return offset + size; }
};

constexpr std::uint32_t fourCC(const char (&text)[5])
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) |
           (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

// Decodes the header of the box at `offset` inside a parent that ends at
// `parentEnd`. `bytes` holds what could be read at `offset` (`available` bytes,
// at most 16 are looked at). Answers nothing for a header that is cut short, a
// size smaller than its header or a box running past its parent. A size of 0
// means the box reaches the end of its parent.
std::optional<BoxHeader> parseBoxHeader(const std::uint8_t* bytes, std::size_t available,
                                        std::uint64_t offset, std::uint64_t parentEnd);

enum class TrackLookupStatus { Found, NoMovieBox, NoSuchTrack, NoSampleDescription, Malformed };

struct TrackLookup
{
    TrackLookupStatus status = TrackLookupStatus::Malformed;
    // Absolute offset of the flags byte that holds the enabled bit (0x1) of
    // the track header; meaningful only when status is Found.
    std::uint64_t flagsOffset = 0;
};

// Finds the track header (tkhd) of the track with `trackId` in the first moov
// box of a file of `totalSize` bytes.
TrackLookup findTrackHeader(const ReadAt& read, std::uint64_t totalSize, std::uint32_t trackId);

// The same over an in-memory file.
TrackLookup findTrackHeader(std::span<const std::uint8_t> data, std::uint32_t trackId);

// Convenience form: the flags byte offset, or nothing for any failure.
std::optional<std::uint64_t> findTkhdFlagsOffset(std::span<const std::uint8_t> data,
                                                 std::uint32_t trackId);

struct SampleEntryLookup
{
    TrackLookupStatus status = TrackLookupStatus::Malformed;
    // Absolute offset of the four type bytes of the first entry of the
    // track's sample description (stsd) and the type found there; meaningful
    // only when status is Found.
    std::uint64_t typeOffset = 0;
    std::uint32_t type = 0;
};

// Finds the first sample description entry of the track with `trackId` in
// the first moov box. NoSampleDescription: the track has no stsd, or one
// without entries.
SampleEntryLookup findSampleEntry(const ReadAt& read, std::uint64_t totalSize,
                                  std::uint32_t trackId);
SampleEntryLookup findSampleEntry(std::span<const std::uint8_t> data, std::uint32_t trackId);

// Parses a sample entry type argument: exactly four printable ASCII
// characters ("dvh1", "raw ").
std::optional<std::uint32_t> parseFourCC(const std::string& text);

// What a reader of a written movie learns of one track, from its header boxes
// only (no media data is read).
struct TrackSummary
{
    std::uint32_t trackId = 0;
    bool enabled = false;             // tkhd flags bit 0x1
    std::uint16_t alternateGroup = 0; // tkhd
    std::uint32_t handler = 0;        // hdlr: 'vide', 'soun', 'text', 'sbtl', ...
    std::uint32_t sampleEntry = 0;    // type of the first stsd entry: 'hvc1', 'mp4a', ...
    // Types of the boxes inside that entry when it is a video one ('hvcC',
    // 'dvcC', 'colr', ...); empty for other tracks or an unreadable entry.
    std::vector<std::uint32_t> sampleEntryBoxes;
    std::string language;          // mdhd, three letters ("und" when unset)
    std::uint32_t timescale = 0;   // mdhd
    std::uint64_t duration = 0;    // mdhd, in timescale units
    std::uint64_t sampleCount = 0; // stsz or stz2
    // Where the track's first sample is shown on the movie's time line, in
    // mvhd timescale units: the empty edits (elst) before its first media
    // edit. A track that starts after the others (an audio delay) has them.
    std::uint64_t emptyEditDuration = 0;
    // How long its media is shown, in mvhd timescale units: the duration of
    // the first edit that shows media. Absent without an edit list.
    std::optional<std::uint64_t> mediaEditDuration;
};

struct MovieSummary
{
    std::uint32_t timescale = 0; // mvhd
    std::uint64_t duration = 0;  // mvhd, in timescale units
    std::vector<TrackSummary> tracks;
};

// Summarises the first moov box of a file of `totalSize` bytes; nothing for a
// file without one or with a malformed box on the way.
std::optional<MovieSummary> readMovieSummary(const ReadAt& read, std::uint64_t totalSize);
std::optional<MovieSummary> readMovieSummary(std::span<const std::uint8_t> data);

// The movie's writing application tag (moov/udta/meta/ilst/\251too), as the
// text it holds; nothing when the file has none.
std::optional<std::string> readWritingApplication(const ReadAt& read, std::uint64_t totalSize);

// Parses a track ID argument: decimal digits only, 1 to 4294967295.
std::optional<std::uint32_t> parseTrackId(const std::string& text);

} // namespace mp4
