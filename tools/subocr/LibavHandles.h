#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include <memory>

// Owning handles for the libav objects, each freed by its own function.

namespace subocr {

struct FormatContextCloser
{
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextFreer
{
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer
{
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
// A custom AVIOContext and the buffer libav may have replaced meanwhile.
struct IoContextFreer
{
    void operator()(AVIOContext* io) const
    {
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFreer>;

// A decoded subtitle, freed with its rects when it goes.
struct OwnedSubtitle
{
    AVSubtitle value{};
    OwnedSubtitle() = default;
    OwnedSubtitle(const OwnedSubtitle&) = delete;
    OwnedSubtitle& operator=(const OwnedSubtitle&) = delete;
    ~OwnedSubtitle() { avsubtitle_free(&value); }
};

} // namespace subocr
