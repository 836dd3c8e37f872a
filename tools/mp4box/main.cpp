// MP4Box: small in-place edits of an MP4 file.
//
//   MP4Box -disable ID FILE
//   MP4Box -enable ID FILE
//   MP4Box -sample-entry ID FOURCC FILE
//
// -disable and -enable clear or set the enabled bit in the track header of
// the track with that ID by rewriting that single byte. -sample-entry
// rewrites the four type bytes of the first sample description entry of that
// track (hvc1 -> dvh1 for a Dolby Vision stream without a compatible base
// layer, a type ffmpeg will not write). No other byte of the file changes.
// Every failure prints a line containing "Error" and exits non-zero without
// writing.

#include "mp4box/Mp4Boxes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;

int fail(int status, const std::string& message)
{
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return status;
}

// Closes the descriptor when leaving scope.
class FileDescriptor final
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now and reports whether the close went well (a write error may
    // only show here).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::size_t readAt(int fd, std::uint64_t offset, std::uint8_t* dest, std::size_t count)
{
    for (;;) {
        const ssize_t got = ::pread(fd, dest, count, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        return got < 0 ? 0 : std::size_t(got);
    }
}

// Writes `count` bytes at `offset` and flushes them to the disk.
bool writeAt(FileDescriptor& file, std::uint64_t offset, const std::uint8_t* bytes,
             std::size_t count)
{
    ssize_t written = -1;
    do {
        written = ::pwrite(file.get(), bytes, count, off_t(offset));
    } while (written < 0 && errno == EINTR);
    return written == ssize_t(count) && ::fsync(file.get()) == 0 && file.close();
}

// Opens the file for an edit in place and hands the edit a reader over it.
// Opened for writing from the start, so that a file we may not change is
// refused before anything else.
template <typename Edit> int editInPlace(const std::string& path, Edit&& edit)
{
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        return fail(kFailureStatus,
                    "cannot open " + path + " for writing: " + std::strerror(errno));
    struct stat info
    {
    };
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return fail(kFailureStatus, path + " is not a regular file");
    const int fd = file.get();
    const mp4::ReadAt read = [fd](std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
        return readAt(fd, offset, dest, count);
    };
    return edit(file, read, std::uint64_t(info.st_size));
}

// The failure for a lookup that found nothing to edit.
int lookupFailure(mp4::TrackLookupStatus status, const std::string& idText, const std::string& path)
{
    switch (status) {
    case mp4::TrackLookupStatus::Found:
        break;
    case mp4::TrackLookupStatus::NoMovieBox:
        return fail(kFailureStatus, path + " is not an MP4 file (no movie box)");
    case mp4::TrackLookupStatus::NoSuchTrack:
        return fail(kFailureStatus, "no track with ID " + idText + " in " + path);
    case mp4::TrackLookupStatus::NoSampleDescription:
        return fail(kFailureStatus,
                    "track " + idText + " in " + path + " has no sample description");
    case mp4::TrackLookupStatus::Malformed:
        break;
    }
    return fail(kFailureStatus, path + " is not an MP4 file or is damaged (bad box)");
}

int setTrackEnabled(const std::string& idText, const std::string& path, bool enable)
{
    const auto trackId = mp4::parseTrackId(idText);
    if (!trackId)
        return fail(kUsageStatus, "invalid track ID \"" + idText + "\"");
    return editInPlace(
        path, [&](FileDescriptor& file, const mp4::ReadAt& read, std::uint64_t size) {
            const mp4::TrackLookup found = mp4::findTrackHeader(read, size, *trackId);
            if (found.status != mp4::TrackLookupStatus::Found)
                return lookupFailure(found.status, idText, path);
            std::uint8_t flags = 0;
            if (readAt(file.get(), found.flagsOffset, &flags, 1) != 1)
                return fail(kFailureStatus, "cannot read " + path);
            const char* const done = enable ? "enabled" : "disabled";
            if (((flags & 0x1) != 0) == enable) {
                std::printf("Track %s in %s is already %s\n", idText.c_str(), path.c_str(), done);
                return 0;
            }
            flags = enable ? std::uint8_t(flags | 0x1) : std::uint8_t(flags & ~0x1);
            if (!writeAt(file, found.flagsOffset, &flags, 1))
                return fail(kFailureStatus, "cannot write " + path + ": " + std::strerror(errno));
            std::printf("%s track %s in %s\n", enable ? "Enabled" : "Disabled", idText.c_str(),
                        path.c_str());
            return 0;
        });
}

int setSampleEntry(const std::string& idText, const std::string& typeText, const std::string& path)
{
    const auto trackId = mp4::parseTrackId(idText);
    if (!trackId)
        return fail(kUsageStatus, "invalid track ID \"" + idText + "\"");
    const auto type = mp4::parseFourCC(typeText);
    if (!type)
        return fail(kUsageStatus, "invalid sample entry type \"" + typeText +
                                      "\" (four printable ASCII characters wanted)");
    return editInPlace(
        path, [&](FileDescriptor& file, const mp4::ReadAt& read, std::uint64_t size) {
            const mp4::SampleEntryLookup found = mp4::findSampleEntry(read, size, *trackId);
            if (found.status != mp4::TrackLookupStatus::Found)
                return lookupFailure(found.status, idText, path);
            if (found.type == *type) {
                std::printf("Sample entry of track %s in %s is already %s\n", idText.c_str(),
                            path.c_str(), typeText.c_str());
                return 0;
            }
            if (!writeAt(file, found.typeOffset,
                         reinterpret_cast<const std::uint8_t*>(typeText.data()), 4))
                return fail(kFailureStatus, "cannot write " + path + ": " + std::strerror(errno));
            std::printf("Set sample entry of track %s in %s to %s\n", idText.c_str(), path.c_str(),
                        typeText.c_str());
            return 0;
        });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "-sample-entry") == 0)
        return setSampleEntry(argv[2], argv[3], argv[4]);
    const bool disable = argc == 4 && std::strcmp(argv[1], "-disable") == 0;
    const bool enable = argc == 4 && std::strcmp(argv[1], "-enable") == 0;
    if (!disable && !enable) {
        std::fprintf(stderr, "Error: wrong arguments\nUsage: MP4Box -disable|-enable TRACK_ID "
                             "FILE\n       MP4Box -sample-entry TRACK_ID FOURCC FILE\n");
        return kUsageStatus;
    }
    return setTrackEnabled(argv[2], argv[3], enable);
}
