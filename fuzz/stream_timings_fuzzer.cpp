// Fuzzes the reading of ffprobe's compact stream listing, which the probe
// runs on every movie (where each stream starts, its rate and title), and of
// the listing part of that same run, which the ffmpeg listing reader takes.

#include "fuzz/FuzzInput.h"
#include "inspection/ProbeListing.h"
#include "inspection/StreamEnds.h"
#include "inspection/StreamTimings.h"

#include <cmath>

namespace fuzz_stream_timings {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    const FuzzInput input(data, size);
    const QString text = QString::fromUtf8(input.payload());
    const StreamTimings t = parseStreamTimings(text);
    fuzzCheck(!t.inputStart || std::isfinite(*t.inputStart), "a finite input start");
    for (const double start : t.starts)
        fuzzCheck(std::isfinite(start), "finite stream starts");
    for (const int rate : t.sampleRates)
        fuzzCheck(rate > 0, "sample rates are positive");
    for (const double rate : t.frameRates)
        fuzzCheck(std::isfinite(rate) && rate > 0, "frame rates are positive");

    const QString listing = listingPart(text);
    fuzzCheck(listing.size() <= text.size() + 64, "the listing part is no longer than the text");
    const ProbeResult result = parseFfmpegListing(listing);
    fuzzCheck(result.audioCount == result.audioTracks.size(), "one track per audio stream");
    parseStreamEnds(text);
    return 0;
}

} // namespace fuzz_stream_timings

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_stream_timings::fuzzOne(data, size);
}
#endif
