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

namespace {

// A track as a muxer writes it: header, media header, handler, one sample
// entry and a sample-size table.
Bytes summaryTrak(int version, std::uint32_t trackId, std::uint32_t flags, std::uint16_t group,
                  const char* handler, const char* entry, std::uint32_t samples)
{
    Bytes tkhd = tkhdPayload(version, trackId, flags);
    const std::size_t groupAt = version == 1 ? 46 : 34;
    tkhd[groupAt] = std::uint8_t(group >> 8);
    tkhd[groupAt + 1] = std::uint8_t(group);

    Bytes mdhd;
    put32(mdhd, std::uint32_t(version) << 24);
    if (version == 1) {
        put64(mdhd, 0);
        put64(mdhd, 0);
        put32(mdhd, 1000);
        put64(mdhd, 5000);
    } else {
        put32(mdhd, 0);
        put32(mdhd, 0);
        put32(mdhd, 1000);
        put32(mdhd, 5000);
    }
    // "deu" packed as three 5-bit letters.
    const std::uint16_t deu =
        std::uint16_t((('d' - 0x60) << 10) | (('e' - 0x60) << 5) | ('u' - 0x60));
    mdhd.push_back(std::uint8_t(deu >> 8));
    mdhd.push_back(std::uint8_t(deu));
    mdhd.resize(mdhd.size() + 2, 0);

    Bytes hdlr(8, 0);
    putType(hdlr, handler);
    hdlr.resize(hdlr.size() + 13, 0);

    Bytes stsd;
    put32(stsd, 0);
    put32(stsd, 1);
    const Bytes sampleEntry = box(entry, Bytes(16, 0));
    stsd.insert(stsd.end(), sampleEntry.begin(), sampleEntry.end());
    Bytes stsz;
    put32(stsz, 0);
    put32(stsz, 0);
    put32(stsz, samples);
    stsz.resize(stsz.size() + 4 * samples, 0);

    const Bytes stbl =
        box("stbl", cat({box("stsd", stsd), box("stts", Bytes(8, 0)), box("stsz", stsz)}));
    const Bytes mdia = box("mdia", cat({box("mdhd", mdhd), box("hdlr", hdlr),
                                        box("minf", cat({box("vmhd", Bytes(12, 0)), stbl}))}));
    return box("trak", cat({box("tkhd", tkhd), mdia}));
}

} // namespace

TEST(Mp4Boxes, SummarisesTracksFromTheirHeaderBoxes)
{
    Bytes mvhd;
    put32(mvhd, 0);
    put32(mvhd, 0);
    put32(mvhd, 0);
    put32(mvhd, 600);
    put32(mvhd, 3000);
    mvhd.resize(100, 0);
    const Bytes file =
        cat({ftyp(), box("mdat", Bytes(40, 0)),
             box("moov", cat({box("mvhd", mvhd), summaryTrak(0, 1, 3, 0, "vide", "hvc1", 7),
                              summaryTrak(1, 2, 3, 1, "soun", "mp4a", 4),
                              summaryTrak(0, 3, 2, 1, "soun", "ac-3", 0)}))});
    const auto movie = mp4::readMovieSummary(file);
    ASSERT_TRUE(movie.has_value());
    EXPECT_EQ(movie->timescale, 600u);
    EXPECT_EQ(movie->duration, 3000u);
    ASSERT_EQ(movie->tracks.size(), 3u);
    const mp4::TrackSummary& video = movie->tracks[0];
    EXPECT_EQ(video.trackId, 1u);
    EXPECT_TRUE(video.enabled);
    EXPECT_EQ(video.alternateGroup, 0);
    EXPECT_EQ(video.handler, mp4::fourCC("vide"));
    EXPECT_EQ(video.sampleEntry, mp4::fourCC("hvc1"));
    EXPECT_EQ(video.sampleCount, 7u);
    EXPECT_EQ(video.timescale, 1000u);
    EXPECT_EQ(video.duration, 5000u);
    EXPECT_EQ(video.language, "deu");
    EXPECT_EQ(movie->tracks[1].trackId, 2u) << "version 1 headers";
    EXPECT_EQ(movie->tracks[1].alternateGroup, 1);
    EXPECT_EQ(movie->tracks[1].duration, 5000u);
    EXPECT_FALSE(movie->tracks[2].enabled);
    EXPECT_EQ(movie->tracks[2].alternateGroup, 1);
    EXPECT_EQ(movie->tracks[2].sampleEntry, mp4::fourCC("ac-3"));
    EXPECT_EQ(movie->tracks[2].sampleCount, 0u);

    // Cut anywhere inside the moov box, the file has no summary; a moov
    // whose boxes are damaged never reads outside the buffer.
    const std::size_t moovStart = ftyp().size() + 48;
    for (std::size_t n = moovStart; n < file.size(); ++n)
        EXPECT_FALSE(mp4::readMovieSummary(std::span(file.data(), n)).has_value()) << n;
    std::mt19937 random(99);
    for (int round = 0; round < 5000; ++round) {
        Bytes damaged = file;
        damaged[moovStart + random() % (damaged.size() - moovStart)] = std::uint8_t(random());
        mp4::readMovieSummary(damaged);
    }
    EXPECT_FALSE(mp4::readMovieSummary(cat({ftyp(), box("mdat", Bytes(8, 0))})).has_value());
}

namespace {

// A trak whose sample table holds an stsd with the given entries.
Bytes trakWithEntries(std::uint32_t trackId, const char* handler, std::uint32_t entryCount,
                      const Bytes& entries)
{
    Bytes hdlr(8, 0);
    putType(hdlr, handler);
    hdlr.resize(hdlr.size() + 13, 0);
    Bytes stsd;
    put32(stsd, 0);
    put32(stsd, entryCount);
    stsd.insert(stsd.end(), entries.begin(), entries.end());
    const Bytes stbl = box("stbl", cat({box("stsd", stsd), box("stsz", Bytes(12, 0))}));
    return box("trak", cat({box("tkhd", tkhdPayload(0, trackId)),
                            box("mdia", cat({box("hdlr", hdlr), box("minf", stbl)}))}));
}

// A visual sample entry: its 78 bytes of fixed fields, then its boxes.
Bytes visualEntry(const char* type, const Bytes& boxes)
{
    return box(type, cat({Bytes(78, 0), boxes}));
}

} // namespace

TEST(Mp4Boxes, FindsTheFirstSampleEntryOfATrack)
{
    const Bytes video = trakWithEntries(
        1, "vide", 2,
        cat({visualEntry("hvc1", cat({box("hvcC", Bytes(23, 1)), box("dvcC", Bytes(24, 0))})),
             visualEntry("avc1", {})}));
    const Bytes noTable = box("trak", cat({box("tkhd", tkhdPayload(1, 3)), box("mdia", {})}));
    const Bytes file =
        cat({ftyp(), box("mdat", Bytes(30, 0)),
             box("moov", cat({box("mvhd", Bytes(100, 0)), video,
                              trakWithEntries(2, "soun", 1, box("mp4a", Bytes(28, 0))), noTable,
                              trakWithEntries(4, "vide", 0, {})}))});

    const auto hvc1 = mp4::findSampleEntry(file, 1);
    ASSERT_EQ(hvc1.status, TrackLookupStatus::Found);
    EXPECT_EQ(hvc1.type, mp4::fourCC("hvc1"));
    const std::uint64_t stsd =
        std::uint64_t(std::search(file.begin(), file.end(), "stsd", "stsd" + 4) - file.begin());
    EXPECT_EQ(hvc1.typeOffset, stsd + 4 + 8 + 4) << "the first entry, right after the count";
    EXPECT_EQ(mp4::findSampleEntry(file, 2).type, mp4::fourCC("mp4a"));
    EXPECT_EQ(mp4::findSampleEntry(file, 3).status, TrackLookupStatus::NoSampleDescription);
    EXPECT_EQ(mp4::findSampleEntry(file, 4).status, TrackLookupStatus::NoSampleDescription);
    EXPECT_EQ(mp4::findSampleEntry(file, 5).status, TrackLookupStatus::NoSuchTrack);
    EXPECT_EQ(mp4::findSampleEntry(cat({ftyp(), box("mdat", {})}), 1).status,
              TrackLookupStatus::NoMovieBox);

    // The boxes inside the video entry are told; the audio entry's are not.
    const auto movie = mp4::readMovieSummary(file);
    ASSERT_TRUE(movie.has_value());
    EXPECT_EQ(movie->tracks[0].sampleEntryBoxes,
              (std::vector<std::uint32_t>{mp4::fourCC("hvcC"), mp4::fourCC("dvcC")}));
    EXPECT_TRUE(movie->tracks[1].sampleEntryBoxes.empty());

    // An entry running past its stsd, a file cut short or damaged anywhere:
    // never a type offset outside the bytes that were there.
    Bytes overlong = file;
    overlong[hvc1.typeOffset - 3] += 1;
    EXPECT_EQ(mp4::findSampleEntry(overlong, 1).status, TrackLookupStatus::Malformed);
    for (std::size_t n = 0; n < file.size(); ++n) {
        const auto found = mp4::findSampleEntry(std::span(file.data(), n), 1);
        if (found.status == TrackLookupStatus::Found) {
            EXPECT_LE(found.typeOffset + 4, n);
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        Bytes damaged = file;
        damaged[random() % damaged.size()] = std::uint8_t(random());
        const auto found = mp4::findSampleEntry(damaged, 1 + random() % 4);
        if (found.status == TrackLookupStatus::Found) {
            ASSERT_LE(found.typeOffset + 4, damaged.size());
        }
    }

    EXPECT_EQ(mp4::parseFourCC("dvh1"), mp4::fourCC("dvh1"));
    EXPECT_EQ(mp4::parseFourCC("raw "), mp4::fourCC("raw "));
    for (const char* bad : {"", "dvh", "dvh1 ", "dv\th", "dv\x7fh", "dv\xc3\xa9"})
        EXPECT_FALSE(mp4::parseFourCC(bad).has_value()) << bad;
}
