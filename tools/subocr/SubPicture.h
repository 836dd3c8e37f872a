#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Picture subtitles as the decoders give them, in plain values that tests,
// the fuzz target and the OCR workers handle without libav.

namespace subocr {

// The limits that keep damaged input from taking unbounded memory or time.
constexpr int kMaxBitmapSide = 4096;
constexpr std::size_t kMaxRectsPerSubtitle = 64;
constexpr std::size_t kMaxEvents = 200000;

// One paletted picture (a PGS object, a DVD subpicture, a DVB region) at its
// place on the video.
struct Bitmap
{
    int x = 0, y = 0;
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // width * height palette indices, row by row
    std::array<std::uint32_t, 256>
        palette{}; // 0xAARRGGBB; entries the decoder left out are transparent
    bool forced = false;
};

// What one decoded subtitle says, on the stream's time line in microseconds.
// No rects: the screen is cleared.
struct DecodedSubtitle
{
    std::int64_t start = 0;
    bool hasEnd = false; // its own end (a stop command, a page time-out)
    std::int64_t end = 0;
    std::vector<Bitmap> rects;
    double position = 0; // how far into the input it was read, 0..1
};

// A subtitle with its time on screen settled.
struct SubtitleEvent
{
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::vector<Bitmap> rects;
    double position = 0;
};

} // namespace subocr
