#include "mp4box/Mp4Boxes.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using mp4::TrackLookupStatus;

namespace {

void put32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void put64(Bytes& out, std::uint64_t v)
{
    put32(out, std::uint32_t(v >> 32));
    put32(out, std::uint32_t(v));
}

void putType(Bytes& out, const char* type)
{
    out.insert(out.end(), type, type + 4);
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes box(const char* type, const Bytes& payload)
{
    Bytes out;
    put32(out, std::uint32_t(8 + payload.size()));
    putType(out, type);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes largeBox(const char* type, const Bytes& payload)
{
    Bytes out;
    put32(out, 1);
    putType(out, type);
    put64(out, 16 + payload.size());
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes openEndedBox(const char* type, const Bytes& payload)
{
    Bytes out;
    put32(out, 0);
    putType(out, type);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// A track header payload as written by muxers: version, flags, times, ID,
// then the rest of the fields (zeros are fine here).
Bytes tkhdPayload(int version, std::uint32_t trackId, std::uint32_t flags = 3)
{
    Bytes out;
    put32(out, (std::uint32_t(version) << 24) | (flags & 0xffffff));
    if (version == 1) {
        put64(out, 0x1111111111111111ull);
        put64(out, 0x2222222222222222ull);
    } else {
        put32(out, 0x11111111);
        put32(out, 0x22222222);
    }
    put32(out, trackId);
    out.resize(out.size() + 60, 0);
    return out;
}

Bytes trak(int version, std::uint32_t trackId)
{
    return box("trak",
               cat({box("tkhd", tkhdPayload(version, trackId)), box("mdia", Bytes(20, 0))}));
}

Bytes ftyp()
{
    return box("ftyp", {'i', 's', 'o', 'm', 0, 0, 2, 0});
}

// Where the flags byte of the first tkhd for `trackId` lies, found by searching
// for the ID pattern rather than by walking boxes.
std::uint64_t flagsOffsetBySearch(const Bytes& file, int version, std::uint32_t trackId)
{
    const Bytes header = box("tkhd", tkhdPayload(version, trackId));
    const auto it = std::search(file.begin(), file.end(), header.begin(), header.begin() + 28);
    EXPECT_NE(it, file.end());
    return std::uint64_t(it - file.begin()) + 8 + 3;
}

} // namespace

TEST(Mp4Boxes, FindsTracksWithVersion0And1Headers)
{
    const Bytes file = cat(
        {ftyp(), box("moov", cat({box("mvhd", Bytes(100, 0)), trak(0, 1), trak(1, 2), trak(0, 3)})),
         box("mdat", Bytes(64, 0xAB))});
    EXPECT_EQ(mp4::findTkhdFlagsOffset(file, 1), flagsOffsetBySearch(file, 0, 1));
    EXPECT_EQ(mp4::findTkhdFlagsOffset(file, 2), flagsOffsetBySearch(file, 1, 2));
    EXPECT_EQ(mp4::findTkhdFlagsOffset(file, 3), flagsOffsetBySearch(file, 0, 3));
    EXPECT_EQ(mp4::findTrackHeader(file, 4).status, TrackLookupStatus::NoSuchTrack);
}

TEST(Mp4Boxes, WalksLargeSizesOpenEndedBoxesAndMoovAfterMdat)
{
    // 64-bit mdat first, then a 64-bit moov holding the tracks.
    const Bytes large = cat({ftyp(), largeBox("mdat", Bytes(300, 0x01)),
                             largeBox("moov", cat({trak(0, 5), trak(1, 9)}))});
    EXPECT_EQ(mp4::findTkhdFlagsOffset(large, 9), flagsOffsetBySearch(large, 1, 9));
    EXPECT_EQ(mp4::findTkhdFlagsOffset(large, 5), flagsOffsetBySearch(large, 0, 5));

    // A size of 0 reaches the end of the file (moov last) ...
    const Bytes openMoov =
        cat({ftyp(), box("mdat", Bytes(40, 0)), openEndedBox("moov", trak(0, 2))});
    EXPECT_EQ(mp4::findTkhdFlagsOffset(openMoov, 2), flagsOffsetBySearch(openMoov, 0, 2));

    // ... or of the enclosing box (an open-ended trak inside moov).
    const Bytes openTrak =
        cat({ftyp(),
             box("moov", cat({trak(0, 1), openEndedBox("trak", box("tkhd", tkhdPayload(0, 2)))})),
             box("free", Bytes(8, 0))});
    EXPECT_EQ(mp4::findTkhdFlagsOffset(openTrak, 2), flagsOffsetBySearch(openTrak, 0, 2));

    // An open-ended mdat with nothing after it: no moov in the file.
    const Bytes noMoov = cat({ftyp(), openEndedBox("mdat", box("moov", trak(0, 1)))});
    EXPECT_EQ(mp4::findTrackHeader(noMoov, 1).status, TrackLookupStatus::NoMovieBox);
}

TEST(Mp4Boxes, RejectsMalformedSizes)
{
    const auto statusOf = [](const Bytes& file) { return mp4::findTrackHeader(file, 1).status; };
    Bytes tooSmall;
    put32(tooSmall, 4);
    putType(tooSmall, "free");
    EXPECT_EQ(statusOf(cat({tooSmall, box("moov", trak(0, 1))})), TrackLookupStatus::Malformed);

    Bytes smallLarge;
    put32(smallLarge, 1);
    putType(smallLarge, "free");
    put64(smallLarge, 8); // a 64-bit size smaller than its 16-byte header
    EXPECT_EQ(statusOf(cat({smallLarge, box("moov", trak(0, 1))})), TrackLookupStatus::Malformed);

    Bytes hugeLarge;
    put32(hugeLarge, 1);
    putType(hugeLarge, "mdat");
    put64(hugeLarge, ~0ull); // would wrap around when added to the offset
    EXPECT_EQ(statusOf(cat({hugeLarge, box("moov", trak(0, 1))})), TrackLookupStatus::Malformed);

    // A trak that claims to run past the end of its moov.
    Bytes moovPayload = trak(0, 1);
    moovPayload[3] += 8;
    EXPECT_EQ(statusOf(cat({box("moov", moovPayload), box("free", Bytes(16, 0))})),
              TrackLookupStatus::Malformed);

    // Track headers too short for their version, or of an unknown version.
    EXPECT_EQ(statusOf(box("moov", box("trak", box("tkhd", Bytes(12, 0))))),
              TrackLookupStatus::Malformed);
    Bytes shortV1 = tkhdPayload(1, 1);
    shortV1.resize(20);
    EXPECT_EQ(statusOf(box("moov", box("trak", box("tkhd", shortV1)))),
              TrackLookupStatus::Malformed);
    EXPECT_EQ(statusOf(box("moov", box("trak", box("tkhd", tkhdPayload(2, 1))))),
              TrackLookupStatus::Malformed);

    // Stray bytes too few for a box header, and text.
    EXPECT_EQ(statusOf(cat({ftyp(), Bytes{0, 0, 0}})), TrackLookupStatus::Malformed);
    const char* text = "Hello, this is not a movie at all.\n";
    EXPECT_EQ(statusOf(Bytes(text, text + std::strlen(text))), TrackLookupStatus::Malformed);
    EXPECT_EQ(statusOf(Bytes{}), TrackLookupStatus::NoMovieBox);
}

TEST(Mp4Boxes, TruncatedAndCorruptedFilesStayInBounds)
{
    const Bytes file = cat({ftyp(), box("mdat", Bytes(50, 7)),
                            box("moov", cat({box("mvhd", Bytes(20, 0)), trak(0, 1), trak(1, 2)}))});
    const std::size_t moovStart = ftyp().size() + 58;
    for (std::size_t n = 0; n < file.size(); ++n) {
        const Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
        const auto found = mp4::findTrackHeader(cut, 2);
        EXPECT_NE(found.status, TrackLookupStatus::Found) << "cut at " << n;
        if (n > moovStart) {
            EXPECT_EQ(found.status, TrackLookupStatus::Malformed) << "cut at " << n;
        }
    }

    // Random corruption: whatever the walker answers, a found offset must lie
    // inside the buffer on a byte that still sits after a "tkhd" type.
    std::mt19937 random(1234);
    for (int round = 0; round < 20000; ++round) {
        Bytes damaged = file;
        const int hits = 1 + int(random() % 4);
        for (int i = 0; i < hits; ++i)
            damaged[random() % damaged.size()] = std::uint8_t(random());
        const auto found = mp4::findTrackHeader(damaged, 1 + random() % 3);
        if (found.status == TrackLookupStatus::Found) {
            ASSERT_LT(found.flagsOffset, damaged.size());
            ASSERT_GE(found.flagsOffset, 7u);
            EXPECT_EQ(std::memcmp(&damaged[found.flagsOffset - 7], "tkhd", 4), 0);
        }
    }
}

TEST(Mp4Boxes, ParsesTrackIds)
{
    EXPECT_EQ(mp4::parseTrackId("3"), 3u);
    EXPECT_EQ(mp4::parseTrackId("4294967295"), 4294967295u);
    for (const char* bad : {"", "0", "-1", "+3", "3x", " 3", "4294967296", "99999999999"})
        EXPECT_FALSE(mp4::parseTrackId(bad).has_value()) << bad;
}
