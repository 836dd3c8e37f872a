#pragma once

#include "subocr/LibavHandles.h"
#include "subocr/SubPicture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace subocr {

// One picture-subtitle decoder of libavcodec, fed the stream's packets in
// order (PGS and DVB keep state from one packet to the next), answering
// each subtitle as plain values on the stream's time line.
class SubpictureDecoder
{
public:
    enum class Result { Nothing, Subtitle, Damaged };

    // For a stream of a demuxed input.
    SubpictureDecoder(const AVCodecParameters& parameters, AVRational timeBase);
    // For bare packets of a codec, with the extradata a container would
    // hold (a DVD palette, DVB page ids).
    SubpictureDecoder(AVCodecID codec, const std::vector<std::uint8_t>& extradata,
                      AVRational timeBase);

    bool isOpen() const { return m_context != nullptr; }
    const std::string& error() const { return m_error; }

    // Decodes one packet (an empty one flushes); Subtitle fills `out`.
    Result decode(const AVPacket& packet, DecodedSubtitle& out);

private:
    void open(AVCodecContext* context, AVRational timeBase);

    CodecContextPtr m_context;
    AVRational m_timeBase{1, 1000};
    std::int64_t m_lastStart = 0;
    std::string m_error;
};

// Longest own display time taken at its word. DVD stop times reach 12.4
// minutes at most, and encoders write that largest one for "until the next
// subpicture"; nothing longer than this stays on screen by design.
constexpr std::int64_t kLongestOwnDuration = 600LL * 1000 * 1000;

// The subtitle's pictures, checked against the limits; rects that are no
// bitmap or are damaged are left out.
std::vector<Bitmap> bitmapsOf(const AVSubtitle& subtitle);

} // namespace subocr
