#include "afconvert/AdtsOutput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace afconvert {

namespace {

constexpr int kBufferBytes = 32768;

} // namespace

std::string AdtsOutput::open(const std::string& path, const AVCodecContext& encoder,
                             const Cancellation& cancellation)
{
    m_cancellation = &cancellation;
    m_path = path;
    m_frameSamples = encoder.frame_size > 0 ? encoder.frame_size : 1024;
    m_timeBase = encoder.time_base;
    m_fd = FileDescriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!m_fd.valid())
        return "cannot open " + path + " for writing: " + std::strerror(errno);
    struct stat info
    {
    };
    m_regularFile = ::fstat(m_fd.get(), &info) == 0 && S_ISREG(info.st_mode);
    const int flags = ::fcntl(m_fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd.get(), F_SETFL, flags | O_NONBLOCK);

    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (!buffer)
        return "out of memory";
    m_io.reset(avio_alloc_context(buffer, kBufferBytes, 1, this, nullptr, writeBytes, nullptr));
    if (!m_io) {
        av_free(buffer);
        return "out of memory";
    }
    AVFormatContext* format = nullptr;
    int status = avformat_alloc_output_context2(&format, nullptr, "adts", nullptr);
    m_format.reset(format);
    if (status < 0 || !m_format)
        return "libavformat has no ADTS muxer";
    m_format->pb = m_io.get();
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_format->flush_packets = 0;
    AVStream* stream = avformat_new_stream(m_format.get(), nullptr);
    if (!stream)
        return "out of memory";
    status = avcodec_parameters_from_context(stream->codecpar, &encoder);
    stream->time_base = encoder.time_base;
    if (status >= 0)
        status = avformat_write_header(m_format.get(), nullptr);
    if (status < 0)
        return m_error.empty() ? "cannot start the ADTS stream: " + libavError(status) : m_error;
    return {};
}

int AdtsOutput::writeBytes(void* opaque, std::uint8_t* bytes, int size)
{
    auto& self = *static_cast<AdtsOutput*>(opaque);
    int done = 0;
    while (done < size) {
        const ssize_t n = ::write(self.m_fd.get(), bytes + done, std::size_t(size - done));
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitFor(self.m_fd.get(), POLLOUT, *self.m_cancellation))
                continue;
            if (self.m_error.empty())
                self.m_error = "writing " + self.m_path + " was cancelled";
            return AVERROR_EXIT;
        }
        const int error = n < 0 ? errno : EIO;
        if (self.m_error.empty())
            self.m_error = "cannot write " + self.m_path + ": " + std::strerror(error);
        return AVERROR(error);
    }
    return size;
}

bool AdtsOutput::write(AVPacket& packet)
{
    // Packets from several encoders: each is stamped with its place in the
    // joined stream (the muxer wants rising times; ADTS itself keeps none).
    const AVRational streamBase = m_format->streams[0]->time_base;
    packet.stream_index = 0;
    packet.pts = packet.dts = av_rescale_q(m_packets * m_frameSamples, m_timeBase, streamBase);
    packet.duration = av_rescale_q(m_frameSamples, m_timeBase, streamBase);
    ++m_packets;
    const int status = av_write_frame(m_format.get(), &packet);
    if (status < 0 && m_error.empty())
        m_error = "cannot write " + m_path + ": " + libavError(status);
    return status >= 0 && m_io->error == 0;
}

bool AdtsOutput::finish()
{
    const int status = av_write_trailer(m_format.get());
    if (status < 0 || m_io->error != 0) {
        if (m_error.empty())
            m_error =
                "cannot write " + m_path + ": " + libavError(status < 0 ? status : m_io->error);
        return false;
    }
    if (!m_fd.reset()) {
        m_error = "cannot write " + m_path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void AdtsOutput::discard()
{
    m_fd.reset();
    if (m_regularFile && !m_path.empty())
        ::unlink(m_path.c_str());
    m_regularFile = false;
}

} // namespace afconvert
