#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The header of a WAV stream (RIFF or RF64) as it comes from a file or a
// FIFO, read up to the first sample, and the samples turned into the 32-bit
// float planes the AAC encoder takes. Integer samples are scaled exactly as
// libswresample scales them, so the encoder sees what an ffmpeg run reading
// the same file would hand it.

namespace afconvert {

enum class SampleCoding { U8, S16, S24, S32, F32, F64 };

struct WavFormat
{
    SampleCoding coding = SampleCoding::F32;
    int channels = 0;
    int sampleRate = 0;
    // The speaker mask of a WAVE_FORMAT_EXTENSIBLE header; 0 when the header
    // names none (the channels then take the usual layout for their count).
    std::uint64_t channelMask = 0;
    // Bytes of one sample of every channel.
    int blockAlign = 0;
};

struct WavHeader
{
    WavFormat format;
    // Where the first sample starts.
    std::size_t dataOffset = 0;
    // Bytes of samples; absent when the header does not know (a stream
    // written into a pipe), and the samples then run to the end of input.
    std::optional<std::uint64_t> dataBytes;
};

struct WavHeaderParse
{
    enum class Status { NeedMore, Invalid, Complete };
    Status status = Status::NeedMore;
    WavHeader header;
    // Why the header was refused (Invalid only).
    std::string error;
};

// A header longer than this (chunks before the samples) is refused.
constexpr std::size_t kMaxWavHeaderBytes = 1 << 20;

// Reads the header from the first `size` bytes of the stream: NeedMore while
// the bytes end before the first sample.
WavHeaderParse parseWavHeader(const unsigned char* bytes, std::size_t size);

// Turns `frames` interleaved sample frames into floats, channel c going to
// planes[c][offset...].
void toPlanarFloat(const WavFormat& format, const unsigned char* interleaved, std::size_t frames,
                   float* const* planes, std::size_t offset);

} // namespace afconvert
