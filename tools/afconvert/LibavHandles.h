#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

#include <memory>
#include <string>

// Owning handles for the libav objects, each freed by its own function.

namespace afconvert {

struct CodecContextFreer
{
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer
{
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer
{
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
// An output context whose AVIOContext is ours (freed apart).
struct OutputContextFreer
{
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
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

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextFreer>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFreer>;

// libav's words for a status.
inline std::string libavError(int status)
{
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(status, reason, sizeof reason);
    return reason;
}

} // namespace afconvert
