#include "subocr/SubpictureDecoder.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <cstring>

namespace subocr {

namespace {

// Times beyond a century are damage; clamping keeps the sums below finite.
constexpr std::int64_t kTimeLimit = 1LL << 52;

std::int64_t clampTime(std::int64_t time)
{
    return std::clamp(time, -kTimeLimit, kTimeLimit);
}

} // namespace

SubpictureDecoder::SubpictureDecoder(const AVCodecParameters& parameters, AVRational timeBase)
{
    const AVCodec* codec = avcodec_find_decoder(parameters.codec_id);
    if (codec == nullptr) {
        m_error = std::string("no decoder for ") + avcodec_get_name(parameters.codec_id);
        return;
    }
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), &parameters) < 0) {
        m_error = "cannot set up the decoder";
        return;
    }
    open(context.release(), timeBase);
}

SubpictureDecoder::SubpictureDecoder(AVCodecID codecId, const std::vector<std::uint8_t>& extradata,
                                     AVRational timeBase)
{
    const AVCodec* codec = avcodec_find_decoder(codecId);
    CodecContextPtr context(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!context) {
        m_error = std::string("no decoder for ") + avcodec_get_name(codecId);
        return;
    }
    if (!extradata.empty()) {
        context->extradata =
            static_cast<std::uint8_t*>(av_mallocz(extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (context->extradata == nullptr) {
            m_error = "out of memory";
            return;
        }
        std::memcpy(context->extradata, extradata.data(), extradata.size());
        context->extradata_size = int(extradata.size());
    }
    open(context.release(), timeBase);
}

void SubpictureDecoder::open(AVCodecContext* raw, AVRational timeBase)
{
    CodecContextPtr context(raw);
    if (timeBase.num <= 0 || timeBase.den <= 0)
        timeBase = AVRational{1, 1000};
    m_timeBase = timeBase;
    // The decoders stamp each subtitle with the packet's time in
    // microseconds only when they know the packets' time base.
    context->pkt_timebase = timeBase;
    const int status = avcodec_open2(context.get(), context->codec, nullptr);
    if (status < 0) {
        char reason[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(status, reason, sizeof reason);
        m_error = std::string("cannot open the decoder: ") + reason;
        return;
    }
    m_context = std::move(context);
}

SubpictureDecoder::Result SubpictureDecoder::decode(const AVPacket& packet, DecodedSubtitle& out)
{
    if (!m_context)
        return Result::Damaged;
    OwnedSubtitle subtitle;
    int got = 0;
    // The decoder reads the packet only; the API takes it without const.
    const int used = avcodec_decode_subtitle2(m_context.get(), &subtitle.value, &got,
                                              const_cast<AVPacket*>(&packet));
    if (used < 0)
        return Result::Damaged;
    if (!got)
        return Result::Nothing;
    const AVSubtitle& s = subtitle.value;

    std::int64_t pts = m_lastStart;
    if (s.pts != AV_NOPTS_VALUE)
        pts = clampTime(s.pts);
    else if (packet.pts != AV_NOPTS_VALUE)
        pts = clampTime(av_rescale_q(packet.pts, m_timeBase, AV_TIME_BASE_Q));
    out = DecodedSubtitle{};
    out.start = pts + std::int64_t(s.start_display_time) * 1000;
    m_lastStart = out.start;

    // Its own end: the decoder's (a DVD stop command, a DVB page time-out),
    // else the container's duration of the packet. PGS has neither: the next
    // composition ends it.
    const std::int64_t shown =
        (std::int64_t(s.end_display_time) - std::int64_t(s.start_display_time)) * 1000;
    const std::int64_t packetDuration =
        packet.duration > 0 ? av_rescale_q(packet.duration, m_timeBase, AV_TIME_BASE_Q) : 0;
    if (s.end_display_time != UINT32_MAX && shown > 0 && shown < kLongestOwnDuration) {
        out.hasEnd = true;
        out.end = out.start + shown;
    } else if (packetDuration > 0 && packetDuration < kLongestOwnDuration) {
        out.hasEnd = true;
        out.end = pts + packetDuration;
    }
    out.rects = bitmapsOf(s);
    return Result::Subtitle;
}

std::vector<Bitmap> bitmapsOf(const AVSubtitle& subtitle)
{
    std::vector<Bitmap> bitmaps;
    const std::size_t count = std::min<std::size_t>(subtitle.num_rects, kMaxRectsPerSubtitle);
    for (std::size_t i = 0; i < count && subtitle.rects; ++i) {
        const AVSubtitleRect* rect = subtitle.rects[i];
        if (rect == nullptr || rect->type != SUBTITLE_BITMAP || rect->data[0] == nullptr ||
            rect->data[1] == nullptr)
            continue;
        if (rect->w <= 0 || rect->h <= 0 || rect->w > kMaxBitmapSide || rect->h > kMaxBitmapSide ||
            rect->linesize[0] < rect->w || rect->nb_colors < 1 || rect->nb_colors > 256)
            continue;
        Bitmap bitmap;
        bitmap.x = std::clamp(rect->x, -kMaxBitmapSide, 4 * kMaxBitmapSide);
        bitmap.y = std::clamp(rect->y, -kMaxBitmapSide, 4 * kMaxBitmapSide);
        bitmap.width = rect->w;
        bitmap.height = rect->h;
        bitmap.pixels.resize(std::size_t(rect->w) * std::size_t(rect->h));
        for (int y = 0; y < rect->h; ++y) {
            std::memcpy(bitmap.pixels.data() + std::size_t(y) * std::size_t(rect->w),
                        rect->data[0] + std::size_t(y) * std::size_t(rect->linesize[0]),
                        std::size_t(rect->w));
        }
        std::memcpy(bitmap.palette.data(), rect->data[1],
                    std::size_t(rect->nb_colors) * sizeof(std::uint32_t));
        bitmap.forced = (rect->flags & AV_SUBTITLE_FLAG_FORCED) != 0;
        bitmaps.push_back(std::move(bitmap));
    }
    return bitmaps;
}

} // namespace subocr
