#pragma once

#include "afconvert/LibavHandles.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace afconvert {

struct EncoderSettings
{
    int sampleRate = 0;
    int channels = 0;
    // The WAV header's speaker mask; 0: the usual layout for the count.
    std::uint64_t channelMask = 0;
    std::optional<std::uint32_t> bitRate;
};

// libavcodec's AAC encoder (the one ffmpeg's "-c:a aac" runs) set up as an
// ffmpeg run over a WAV file sets it up: planar floats, the rate and layout
// of the file, the bit rate asked for, the encoder's own defaults for the
// rest. Frames of 1024 samples go in; a shorter one ends the sound.
class AacEncoder
{
public:
    // The error is empty when the encoder is ready.
    std::string open(const EncoderSettings& settings);

    // Hands the encoder `samples` samples of each plane from `offset` on.
    // Answers libav's status.
    int send(const float* const* planes, std::size_t offset, int samples);
    // Tells the encoder the sound has ended: it hands out what it holds.
    int sendEnd();
    // The next packet made, or null (status EAGAIN when it needs more
    // input, AVERROR_EOF when it has handed out its last).
    PacketPtr receive(int& status);

    const AVCodecContext& context() const { return *m_context; }

private:
    CodecContextPtr m_context;
    FramePtr m_frame;
    std::int64_t m_nextPts = 0;
};

} // namespace afconvert
