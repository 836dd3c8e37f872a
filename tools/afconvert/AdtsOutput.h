#pragma once

#include "afconvert/Cancellation.h"
#include "afconvert/FileDescriptor.h"
#include "afconvert/LibavHandles.h"

#include <cstdint>
#include <string>

namespace afconvert {

// The ADTS stream written by libavformat's ADTS muxer (what ffmpeg's
// "-f adts" writes, byte for byte) into a file or FIFO, through a buffer of
// 32 KiB that goes out when full (as "-flush_packets 0" has it). A write
// waits in poll, where a failure elsewhere ends it.
class AdtsOutput
{
public:
    // Opens the output (for a FIFO: waits for its reader) and writes the
    // stream's start. The error is empty on success.
    std::string open(const std::string& path, const AVCodecContext& encoder,
                     const Cancellation& cancellation);
    // Writes the next packet of the stream; false on failure (error()).
    bool write(AVPacket& packet);
    // Writes the stream's end and what the buffer holds, and closes it.
    bool finish();
    // Closes it without its end; an output that is a regular file (not a
    // FIFO, whose reader's owner removes it) is removed.
    void discard();
    const std::string& error() const { return m_error; }

private:
    static int writeBytes(void* opaque, std::uint8_t* bytes, int size);

    const Cancellation* m_cancellation = nullptr;
    std::string m_path;
    FileDescriptor m_fd;
    bool m_regularFile = false;
    IoContextPtr m_io;
    OutputContextPtr m_format;
    std::int64_t m_packets = 0;
    std::int64_t m_frameSamples = 1024;
    AVRational m_timeBase{1, 1};
    std::string m_error;
};

} // namespace afconvert
