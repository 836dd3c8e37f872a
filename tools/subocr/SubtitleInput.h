#pragma once

#include "subocr/LibavHandles.h"
#include "subocr/MemoryIo.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace subocr {

// A demuxed input and the one picture-subtitle stream read from it: a movie
// in any container libavformat reads, a PGS .sup file or a VobSub .idx (with
// its .sub beside it).
class SubtitleInput
{
public:
    enum class Read { Packet, Damaged, End };

    SubtitleInput() = default;
    SubtitleInput(const SubtitleInput&) = delete;
    SubtitleInput& operator=(const SubtitleInput&) = delete;

    // False with error() set when the input cannot be opened.
    bool openFile(const std::string& path);
    // The bytes as a file of the named demuxer ("sup", "vobsub" needs files).
    bool openBytes(std::vector<std::uint8_t> bytes, const char* formatName);

    // Picks the stream by its index in the input, or the first picture
    // subtitle stream for -1; false with error() set when there is none.
    bool selectStream(int index);
    const AVStream* stream() const { return m_stream; }

    // The selected stream's next packet. Damaged: the input could not be
    // read at this point and reading has moved past it.
    Read read(AVPacket& packet);
    // How far the input has been read when this packet came: by its time
    // against the duration when the input knows it, else by bytes.
    double position(const AVPacket& packet) const;

    const std::string& error() const { return m_error; }

private:
    bool finishOpening(int status, const std::string& name);
    bool resyncSup(std::int64_t from);

    // The memory reader must outlive the format context that reads it.
    std::unique_ptr<MemoryIo> m_memory;
    FormatContextPtr m_format;
    AVStream* m_stream = nullptr;
    std::string m_name;           // the demuxer's
    std::string m_displayName;    // the input's, for messages
    std::int64_t m_startTime = 0; // microseconds
    std::int64_t m_duration = 0;
    std::int64_t m_size = 0; // bytes, when the duration is unknown
    std::string m_error;
};

// libav's words for an error status.
std::string libavError(int status);

} // namespace subocr
