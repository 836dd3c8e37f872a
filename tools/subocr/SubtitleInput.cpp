#include "subocr/SubtitleInput.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <sys/stat.h>

namespace subocr {

namespace {

// Read errors in a row that move nothing end the reading.
constexpr int kMaxStuckReads = 64;

bool isPictureSubtitle(const AVCodecParameters& parameters)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters.codec_id);
    return parameters.codec_type == AVMEDIA_TYPE_SUBTITLE && descriptor != nullptr &&
           (descriptor->props & AV_CODEC_PROP_BITMAP_SUB) != 0;
}

std::string describe(const AVCodecParameters& parameters)
{
    const char* type = av_get_media_type_string(parameters.codec_type);
    return std::string(type ? type : "unknown") + " " + avcodec_get_name(parameters.codec_id);
}

// The .sub file the vobsub demuxer reads beside an .idx, named as it names it.
std::string vobsubDataPath(const std::string& idxPath)
{
    const std::size_t dot = idxPath.rfind('.');
    if (dot == std::string::npos || idxPath.find('/', dot) != std::string::npos)
        return {};
    return idxPath.substr(0, dot) + (idxPath.compare(dot, 4, ".IDX") == 0 ? ".SUB" : ".sub");
}

std::int64_t fileSize(const std::string& path)
{
    struct stat info
    {
    };
    return !path.empty() && ::stat(path.c_str(), &info) == 0 ? std::int64_t(info.st_size) : 0;
}

} // namespace

std::string libavError(int status)
{
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(status, reason, sizeof reason);
    return reason;
}

bool SubtitleInput::openFile(const std::string& path)
{
    // Only files: a name with a colon is no protocol, and a playlist in
    // disguise reaches nothing on the network.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* context = nullptr;
    const int status = avformat_open_input(&context, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    m_format.reset(context);
    if (!finishOpening(status, path))
        return false;
    if (m_name == "vobsub")
        m_size = fileSize(vobsubDataPath(path));
    else if (m_format->pb)
        m_size = std::max<std::int64_t>(avio_size(m_format->pb), 0);
    return true;
}

bool SubtitleInput::openBytes(std::vector<std::uint8_t> bytes, const char* formatName)
{
    const AVInputFormat* format = av_find_input_format(formatName);
    if (format == nullptr) {
        m_error = std::string("no demuxer ") + formatName;
        return false;
    }
    m_size = std::int64_t(bytes.size());
    m_memory = std::make_unique<MemoryIo>(std::move(bytes));
    AVFormatContext* context = avformat_alloc_context();
    if (context == nullptr || m_memory->context() == nullptr) {
        avformat_free_context(context);
        m_error = "out of memory";
        return false;
    }
    context->pb = m_memory->context();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    // On failure libav frees the context and clears the pointer.
    const int status = avformat_open_input(&context, nullptr, format, &options);
    av_dict_free(&options);
    m_format.reset(context);
    return finishOpening(status, "the input");
}

bool SubtitleInput::finishOpening(int status, const std::string& name)
{
    if (status < 0 || !m_format) {
        m_error = "cannot read " + name + ": " + libavError(status);
        m_format.reset();
        return false;
    }
    m_name = m_format->iformat->name;
    // Transport streams name their streams' codecs only once they have
    // been looked at; a failure leaves what the header said.
    avformat_find_stream_info(m_format.get(), nullptr);
    m_displayName = name;
    return true;
}

bool SubtitleInput::selectStream(int index)
{
    const std::string& name = m_displayName;
    if (!m_format)
        return false;
    const unsigned count = m_format->nb_streams;
    if (index >= 0) {
        if (unsigned(index) >= count) {
            m_error = name + " has no stream " + std::to_string(index);
            return false;
        }
        const AVCodecParameters& parameters = *m_format->streams[index]->codecpar;
        if (!isPictureSubtitle(parameters)) {
            m_error = "stream " + std::to_string(index) + " of " + name +
                      " is not a picture subtitle (" + describe(parameters) + ")";
            return false;
        }
        m_stream = m_format->streams[index];
    } else {
        for (unsigned i = 0; i < count && m_stream == nullptr; ++i) {
            if (isPictureSubtitle(*m_format->streams[i]->codecpar))
                m_stream = m_format->streams[i];
        }
        if (m_stream == nullptr) {
            m_error = name + " has no picture subtitle stream";
            return false;
        }
    }
    for (unsigned i = 0; i < count; ++i) {
        if (m_format->streams[i] != m_stream)
            m_format->streams[i]->discard = AVDISCARD_ALL;
    }
    m_error.clear();

    const AVRational timeBase = m_stream->time_base;
    if (m_stream->duration != AV_NOPTS_VALUE && m_stream->duration > 0 && timeBase.num > 0) {
        m_duration = av_rescale_q(m_stream->duration, timeBase, AV_TIME_BASE_Q);
        if (m_stream->start_time != AV_NOPTS_VALUE)
            m_startTime = av_rescale_q(m_stream->start_time, timeBase, AV_TIME_BASE_Q);
    } else if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0) {
        m_duration = m_format->duration;
        if (m_format->start_time != AV_NOPTS_VALUE)
            m_startTime = m_format->start_time;
    }
    return true;
}

SubtitleInput::Read SubtitleInput::read(AVPacket& packet)
{
    if (!m_format || m_stream == nullptr)
        return Read::End;
    for (int stuck = 0; stuck < kMaxStuckReads;) {
        av_packet_unref(&packet);
        AVIOContext* io = m_format->pb;
        const std::int64_t before = io ? avio_tell(io) : -1;
        const int status = av_read_frame(m_format.get(), &packet);
        if (status == AVERROR_EOF)
            return Read::End;
        if (status < 0) {
            // A .sup file is a plain row of segments: reading goes on at
            // the next segment start after the damage.
            if (m_name == "sup")
                return resyncSup(before) ? Read::Damaged : Read::End;
            if (io != nullptr && avio_tell(io) > before)
                return Read::Damaged;
            ++stuck;
            continue;
        }
        if (packet.stream_index == m_stream->index)
            return Read::Packet;
    }
    return Read::End;
}

bool SubtitleInput::resyncSup(std::int64_t from)
{
    AVIOContext* io = m_format->pb;
    if (io == nullptr || from < 0 || avio_seek(io, from + 1, SEEK_SET) < 0)
        return false;
    int previous = -1;
    for (;;) {
        const int c = avio_r8(io);
        if (avio_feof(io))
            return false;
        if (previous == 'P' && c == 'G')
            return avio_seek(io, avio_tell(io) - 2, SEEK_SET) >= 0;
        previous = c;
    }
}

double SubtitleInput::position(const AVPacket& packet) const
{
    double at = 0;
    if (m_duration > 0 && packet.pts != AV_NOPTS_VALUE && m_stream != nullptr) {
        const std::int64_t time =
            av_rescale_q(packet.pts, m_stream->time_base, AV_TIME_BASE_Q) - m_startTime;
        at = double(time) / double(m_duration);
    } else if (m_size > 0 && packet.pos >= 0) {
        at = double(packet.pos) / double(m_size);
    }
    return std::clamp(at, 0.0, 1.0);
}

} // namespace subocr
