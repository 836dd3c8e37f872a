// Fuzzes the reading of ffmpeg's "-i" listing and what is derived from it:
// the summary line, the resolution and the reference frame limit.

#include "fuzz/FuzzInput.h"
#include "inspection/ProbeListing.h"

namespace fuzz_ffmpeg_listing {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    const FuzzInput input(data, size);
    const QString text = QString::fromUtf8(input.payload());
    const ProbeResult result = parseFfmpegListing(text);

    fuzzCheck(result.audioCount == result.audioTracks.size(), "one descriptor per audio stream");
    fuzzCheck(result.textSubtitleStreams.size() <= result.subtitleCount,
              "text subtitles are subtitles");
    fuzzCheck(!result.runtimeSeconds || result.durationText, "a run time comes with its text");
    fuzzCheck(summaryLine(result).startsWith(QStringLiteral("Duration: ")), "summary line");

    if (result.resolutionText) {
        const auto [width, height] = dimensionsOfResolution(*result.resolutionText);
        isResolutionTooHigh(width);
        const std::optional<qint64> limit = referenceFrameLimit(width, height);
        fuzzCheck(limit.has_value() == (width != 0 && height != 0), "limit only for an area");
        hasTooManyReferenceFrames(leadingInt(text), width, height);
    }
    for (const QString& key : result.warnings)
        fuzzCheck(!warningMessage(key, text.left(64)).isEmpty(), "known warning key");
    return 0;
}

} // namespace fuzz_ffmpeg_listing

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_ffmpeg_listing::fuzzOne(data, size);
}
#endif
