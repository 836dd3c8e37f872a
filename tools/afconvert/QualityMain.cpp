// afconvert-quality: how close a decoded sound is to its source, for the
// tests and the benchmark of the encoder.
//
//   afconvert-quality SOURCE DECODED CHANNELS RATE [SKIP]
//
// SOURCE and DECODED hold interleaved 32-bit float samples (ffmpeg's
// "-f f32le"); SKIP frames are dropped from the start of DECODED first (the
// encoder's priming, 1024 for an ADTS stream decoded as it is). Prints
// "snr_db=S loudest_error_db=L" (see SoundQuality.h); exits 2 on a bad
// command line, 1 when the files cannot be read or compared.

#include "afconvert/SoundQuality.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

std::optional<std::vector<float>> readSamples(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    if (file.bad())
        return std::nullopt;
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::copy_n(bytes.data(), samples.size() * sizeof(float),
                reinterpret_cast<char*>(samples.data()));
    return samples;
}

std::optional<long> number(const char* text)
{
    long value = 0;
    const std::string s(text);
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size() || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "Usage: afconvert-quality SOURCE DECODED CHANNELS RATE [SKIP]\n");
        return 2;
    }
    const std::optional<long> channels = number(argv[3]);
    const std::optional<long> rate = number(argv[4]);
    const std::optional<long> skip = argc == 6 ? number(argv[5]) : std::optional<long>(0);
    if (!channels || !rate || !skip || *channels < 1 || *channels > 64 || *rate > 1000000) {
        std::fprintf(stderr, "Error: bad channels, rate or skip\n");
        return 2;
    }
    const auto source = readSamples(argv[1]);
    const auto decoded = readSamples(argv[2]);
    if (!source || !decoded) {
        std::fprintf(stderr, "Error: cannot read %s\n", source ? argv[2] : argv[1]);
        return 1;
    }
    const std::size_t skipped = std::min(decoded->size(), std::size_t(*skip * *channels));
    const std::span<const float> after(decoded->data() + skipped, decoded->size() - skipped);
    const auto quality = afconvert::compareSound(*source, after, int(*channels), int(*rate));
    if (!quality) {
        std::fprintf(stderr, "Error: the sounds are too short to compare\n");
        return 1;
    }
    std::printf("snr_db=%.3f loudest_error_db=%.3f\n", quality->snrDb, quality->loudestErrorDb);
    return 0;
}
