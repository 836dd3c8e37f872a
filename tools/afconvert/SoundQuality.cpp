#include "afconvert/SoundQuality.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace afconvert {

namespace {

double decibels(double ratio)
{
    if (ratio <= 0)
        return -std::numeric_limits<double>::infinity();
    if (!std::isfinite(ratio))
        return std::numeric_limits<double>::infinity();
    return 10 * std::log10(ratio);
}

} // namespace

std::optional<SoundQuality> compareSound(std::span<const float> source,
                                         std::span<const float> decoded, int channels,
                                         int sampleRate)
{
    if (channels < 1 || sampleRate < 100)
        return std::nullopt;
    const std::size_t width = std::size_t(channels);
    const std::size_t frames = std::min(source.size(), decoded.size()) / width;
    const std::size_t window = std::size_t(sampleRate) / 100;
    const std::size_t hop = window / 2;
    if (frames < window)
        return std::nullopt;

    // The error energy of each frame, then of each window over them.
    std::vector<double> frameError(frames);
    double signal = 0;
    double error = 0;
    for (std::size_t f = 0; f < frames; ++f) {
        double e = 0;
        for (std::size_t c = 0; c < width; ++c) {
            const double s = source[f * width + c];
            const double d = double(decoded[f * width + c]) - s;
            signal += s * s;
            e += d * d;
        }
        frameError[f] = e;
        error += e;
    }
    std::vector<double> windows;
    for (std::size_t start = 0; start + window <= frames; start += hop) {
        double sum = 0;
        for (std::size_t f = start; f < start + window; ++f)
            sum += frameError[f];
        windows.push_back(sum);
    }
    const double loudest = *std::max_element(windows.begin(), windows.end());
    const std::size_t rank = std::size_t(0.99 * double(windows.size() - 1));
    std::nth_element(windows.begin(), windows.begin() + std::ptrdiff_t(rank), windows.end());
    const double usual = windows[rank];

    SoundQuality quality;
    quality.snrDb = decibels(error > 0 ? signal / error : std::numeric_limits<double>::infinity());
    // An error that is nil nearly everywhere: any loudest window is a click.
    quality.loudestErrorDb = usual > 0
                                 ? decibels(loudest / usual)
                                 : (loudest > 0 ? std::numeric_limits<double>::infinity() : 0);
    return quality;
}

} // namespace afconvert
