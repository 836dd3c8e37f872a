#include "afconvert/AacEncoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <cstring>

namespace afconvert {

std::string AacEncoder::open(const EncoderSettings& settings)
{
    const AVCodec* codec = avcodec_find_encoder_by_name("aac");
    if (!codec)
        return "libavcodec has no AAC encoder";
    m_context.reset(avcodec_alloc_context3(codec));
    m_frame.reset(av_frame_alloc());
    if (!m_context || !m_frame)
        return "out of memory";
    AVCodecContext& c = *m_context;
    c.sample_fmt = AV_SAMPLE_FMT_FLTP;
    c.sample_rate = settings.sampleRate;
    c.time_base = AVRational{1, settings.sampleRate};
    av_channel_layout_uninit(&c.ch_layout);
    if (settings.channelMask == 0 ||
        av_channel_layout_from_mask(&c.ch_layout, settings.channelMask) < 0)
        av_channel_layout_default(&c.ch_layout, settings.channels);
    if (settings.bitRate)
        c.bit_rate = std::int64_t(*settings.bitRate);
    const int status = avcodec_open2(&c, codec, nullptr);
    if (status < 0)
        return "the AAC encoder refuses this sound (" + std::to_string(settings.channels) +
               " channels at " + std::to_string(settings.sampleRate) +
               " Hz): " + libavError(status);
    return {};
}

int AacEncoder::send(const float* const* planes, std::size_t offset, int samples)
{
    AVFrame& frame = *m_frame;
    av_frame_unref(&frame);
    frame.format = AV_SAMPLE_FMT_FLTP;
    frame.sample_rate = m_context->sample_rate;
    frame.nb_samples = samples;
    int status = av_channel_layout_copy(&frame.ch_layout, &m_context->ch_layout);
    if (status >= 0)
        status = av_frame_get_buffer(&frame, 0);
    if (status < 0)
        return status;
    for (int c = 0; c < m_context->ch_layout.nb_channels; ++c)
        std::memcpy(frame.extended_data[c], planes[c] + offset,
                    std::size_t(samples) * sizeof(float));
    frame.pts = m_nextPts;
    m_nextPts += samples;
    return avcodec_send_frame(m_context.get(), &frame);
}

int AacEncoder::sendEnd()
{
    return avcodec_send_frame(m_context.get(), nullptr);
}

PacketPtr AacEncoder::receive(int& status)
{
    PacketPtr packet(av_packet_alloc());
    if (!packet) {
        status = AVERROR(ENOMEM);
        return nullptr;
    }
    status = avcodec_receive_packet(m_context.get(), packet.get());
    if (status < 0)
        return nullptr;
    return packet;
}

} // namespace afconvert
