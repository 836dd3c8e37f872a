// Fuzzes the reading of the reference frame count from mediainfo's XML
// output and its comparison with the limit for a picture size.

#include "fuzz/FuzzInput.h"
#include "inspection/ProbeListing.h"

#include <limits>

namespace fuzz_mediainfo_refframes {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const QString xml = QString::fromUtf8(input.payload());
    const std::optional<int> frames = referenceFramesFromMediainfoXml(xml);
    if (!frames)
        return 0;
    // Picture sizes from the seed byte, including the extremes of int.
    static const int sizes[] = {0,
                                1,
                                720,
                                1080,
                                1920,
                                4096,
                                -1,
                                std::numeric_limits<int>::max(),
                                std::numeric_limits<int>::min()};
    constexpr std::uint32_t count = sizeof sizes / sizeof sizes[0];
    const int width = sizes[input.next(count)];
    const int height = sizes[input.next(count)];
    const bool tooMany = hasTooManyReferenceFrames(*frames, width, height);
    fuzzCheck(!tooMany || referenceFrameLimit(width, height).has_value(), "no limit, no warning");
    return 0;
}

} // namespace fuzz_mediainfo_refframes

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_mediainfo_refframes::fuzzOne(data, size);
}
#endif
