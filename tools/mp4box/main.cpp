// MP4Box: disables or enables one track of an MP4 file in place.
//
//   MP4Box -disable ID FILE
//   MP4Box -enable ID FILE
//
// Clears or sets the enabled bit in the track header of the track with that
// ID by rewriting that single byte; no other byte of the file changes. Every
// failure prints a line containing "Error" and exits non-zero without writing.

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

int setTrackEnabled(const std::string& idText, const std::string& path, bool enable)
{
    const auto trackId = mp4::parseTrackId(idText);
    if (!trackId)
        return fail(kUsageStatus, "invalid track ID \"" + idText + "\"");

    // Opened for writing from the start, so that a file we may not change is
    // refused before anything else.
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
    const mp4::TrackLookup found =
        mp4::findTrackHeader(read, std::uint64_t(info.st_size), *trackId);
    switch (found.status) {
    case mp4::TrackLookupStatus::Found:
        break;
    case mp4::TrackLookupStatus::NoMovieBox:
        return fail(kFailureStatus, path + " is not an MP4 file (no movie box)");
    case mp4::TrackLookupStatus::NoSuchTrack:
        return fail(kFailureStatus, "no track with ID " + idText + " in " + path);
    case mp4::TrackLookupStatus::Malformed:
        return fail(kFailureStatus, path + " is not an MP4 file or is damaged (bad box)");
    }

    std::uint8_t flags = 0;
    if (readAt(fd, found.flagsOffset, &flags, 1) != 1)
        return fail(kFailureStatus, "cannot read " + path);
    const char* const done = enable ? "enabled" : "disabled";
    if (((flags & 0x1) != 0) == enable) {
        std::printf("Track %s in %s is already %s\n", idText.c_str(), path.c_str(), done);
        return 0;
    }
    flags = enable ? std::uint8_t(flags | 0x1) : std::uint8_t(flags & ~0x1);
    ssize_t written = -1;
    do {
        written = ::pwrite(fd, &flags, 1, off_t(found.flagsOffset));
    } while (written < 0 && errno == EINTR);
    if (written != 1)
        return fail(kFailureStatus, "cannot write " + path + ": " + std::strerror(errno));
    if (::fsync(fd) != 0 || !file.close())
        return fail(kFailureStatus, "cannot write " + path + ": " + std::strerror(errno));
    std::printf("%s track %s in %s\n", enable ? "Enabled" : "Disabled", idText.c_str(),
                path.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const bool disable = argc == 4 && std::strcmp(argv[1], "-disable") == 0;
    const bool enable = argc == 4 && std::strcmp(argv[1], "-enable") == 0;
    if (!disable && !enable) {
        std::fprintf(stderr, "Error: wrong arguments\nUsage: MP4Box -disable|-enable TRACK_ID "
                             "FILE\n");
        return kUsageStatus;
    }
    return setTrackEnabled(argv[2], argv[3], enable);
}
