#pragma once

#include <cstddef>
#include <optional>
#include <span>

// How close a decoded sound is to its source: the signal-to-noise ratio of
// the whole, and how far the loudest short stretch of the error rises above
// the error's usual level (a click, such as a badly joined piece makes,
// shows there while it hardly moves the ratio).

namespace afconvert {

struct SoundQuality
{
    // Source energy over error energy, in dB.
    double snrDb = 0;
    // The error's energy in its loudest window of 10 ms over the 99th
    // percentile of its windows' energies, in dB (windows every 5 ms).
    double loudestErrorDb = 0;
};

// Compares interleaved samples of `channels` channels at `sampleRate`, frame
// for frame over the frames both have. Absent when they share less than one
// window or the layout makes no sense.
std::optional<SoundQuality> compareSound(std::span<const float> source,
                                         std::span<const float> decoded, int channels,
                                         int sampleRate);

} // namespace afconvert
