// Fuzzes the MP4 box walker with mutated movie files. The answer must not
// depend on how the bytes are read (the tool reads a file with seeks and
// short reads), and a found flags byte must lie inside a track header.

#include "fuzz/FuzzInput.h"
#include "mp4box/Mp4Boxes.h"

#include <cstring>
#include <vector>

namespace fuzz_mp4box {

namespace {

constexpr std::uint32_t kTkhd = mp4::fourCC("tkhd");

std::uint32_t readU32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

void checkLookup(std::span<const std::uint8_t> file, std::uint32_t trackId, std::size_t maxRead)
{
    const mp4::TrackLookup direct = mp4::findTrackHeader(file, trackId);

    // The same file through reads that bring at most maxRead bytes each.
    const mp4::ReadAt dribble = [file, maxRead](std::uint64_t offset, std::uint8_t* dest,
                                                std::size_t count) {
        if (offset >= file.size())
            return std::size_t(0);
        std::size_t n = std::min<std::uint64_t>(count, file.size() - offset);
        n = std::min(n, maxRead);
        std::memcpy(dest, file.data() + offset, n);
        return n;
    };
    const mp4::TrackLookup dribbled = mp4::findTrackHeader(dribble, file.size(), trackId);
    fuzzCheck(direct.status == dribbled.status, "status does not depend on read sizes");

    if (direct.status != mp4::TrackLookupStatus::Found)
        return;
    fuzzCheck(direct.flagsOffset == dribbled.flagsOffset, "offset does not depend on read sizes");
    // The flags byte is the fourth payload byte of a tkhd box with this ID.
    fuzzCheck(direct.flagsOffset >= 11 && direct.flagsOffset < file.size(), "flags byte in file");
    const std::size_t payload = std::size_t(direct.flagsOffset - 3);
    // The box type sits right before the payload, or before a 64-bit size.
    const bool plainHeader = readU32(file.data() + payload - 4) == kTkhd;
    const bool largeHeader = payload >= 16 && readU32(file.data() + payload - 16) == 1 &&
                             readU32(file.data() + payload - 12) == kTkhd;
    fuzzCheck(plainHeader || largeHeader, "flags byte in a tkhd box");
    const std::uint8_t version = file[payload];
    const std::size_t idAt = payload + (version == 1 ? 20 : 12);
    fuzzCheck(version <= 1 && idAt + 4 <= file.size() && readU32(file.data() + idAt) == trackId,
              "the tkhd carries the track ID");
}

// The summary reader walks the same boxes; its answer must not depend on
// the read sizes either.
void checkSummary(std::span<const std::uint8_t> file, std::size_t maxRead)
{
    const mp4::ReadAt dribble = [file, maxRead](std::uint64_t offset, std::uint8_t* dest,
                                                std::size_t count) {
        if (offset >= file.size())
            return std::size_t(0);
        const std::size_t n = std::min<std::uint64_t>({count, file.size() - offset, maxRead});
        std::memcpy(dest, file.data() + offset, n);
        return n;
    };
    const auto direct = mp4::readMovieSummary(file);
    const auto dribbled = mp4::readMovieSummary(dribble, file.size());
    fuzzCheck(direct.has_value() == dribbled.has_value(), "summary does not depend on read sizes");
    if (direct)
        fuzzCheck(direct->tracks.size() == dribbled->tracks.size(), "same tracks either way");
}

} // namespace

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const QByteArray& bytes = input.payload();
    const std::vector<std::uint8_t> file(bytes.begin(), bytes.end());
    const std::span<const std::uint8_t> view(file);

    const std::size_t maxRead = 1 + input.next(16);
    checkLookup(view, 1, maxRead);
    checkLookup(view, 2, maxRead);
    checkLookup(view, 1 + input.next(0xFFFFFFFEu), maxRead);
    checkSummary(view, maxRead);

    // A file cut short at any point must still be walked safely.
    if (!file.empty())
        checkLookup(view.first(input.next(std::uint32_t(file.size()))), 1, maxRead);
    return 0;
}

} // namespace fuzz_mp4box

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_mp4box::fuzzOne(data, size);
}
#endif
