// MP4Box: small in-place edits of an MP4 file.
//
//   MP4Box -disable ID FILE
//   MP4Box -enable ID FILE
//   MP4Box -sample-entry ID FOURCC FILE
//   MP4Box -forced-subtitles ID FILE
//
// -disable and -enable clear or set the enabled bit in the track header of
// the track with that ID by rewriting that single byte. -sample-entry
// rewrites the four type bytes of the first sample description entry of that
// track (hvc1 -> dvh1 for a Dolby Vision stream without a compatible base
// layer, a type ffmpeg will not write). -forced-subtitles sets the "all
// samples are forced" bit (0x80000000) of the display flags of a text
// track's tx3g sample entry, which Apple's players read to show the track
// by themselves when its language is the sound's. No other byte of the file
// changes.
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

// Opens the file for an edit in place of the first sample description entry
// of the track with that ID, and hands the edit the entry found.
template <typename Edit>
int editSampleEntry(const std::string& idText, const std::string& path, Edit&& edit)
{
    const auto trackId = mp4::parseTrackId(idText);
    if (!trackId)
        return fail(kUsageStatus, "invalid track ID \"" + idText + "\"");
    return editInPlace(
        path, [&](FileDescriptor& file, const mp4::ReadAt& read, std::uint64_t size) {
            const mp4::SampleEntryLookup found = mp4::findSampleEntry(read, size, *trackId);
            if (found.status != mp4::TrackLookupStatus::Found)
                return lookupFailure(found.status, idText, path);
            return edit(file, found, size);
        });
}

int setSampleEntry(const std::string& idText, const std::string& typeText, const std::string& path)
{
    const auto type = mp4::parseFourCC(typeText);
    if (!type)
        return fail(kUsageStatus, "invalid sample entry type \"" + typeText +
                                      "\" (four printable ASCII characters wanted)");
    return editSampleEntry(
        idText, path,
        [&](FileDescriptor& file, const mp4::SampleEntryLookup& found, std::uint64_t) {
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

int setForcedSubtitles(const std::string& idText, const std::string& path)
{
    return editSampleEntry(
        idText, path,
        [&](FileDescriptor& file, const mp4::SampleEntryLookup& found, std::uint64_t size) {
            if (found.type != mp4::fourCC("tx3g"))
                return fail(kFailureStatus,
                            "track " + idText + " in " + path + " is not a text track (tx3g)");
            // After the type: six reserved bytes and the data reference
            // index, then the 32-bit display flags, most significant first.
            const std::uint64_t flagsOffset = found.typeOffset + 4 + 6 + 2;
            std::uint8_t flags = 0;
            if (flagsOffset + 4 > size || readAt(file.get(), flagsOffset, &flags, 1) != 1)
                return fail(kFailureStatus, path + " is not an MP4 file or is damaged (bad box)");
            if ((flags & 0x80) != 0) {
                std::printf("Track %s in %s is already forced\n", idText.c_str(), path.c_str());
                return 0;
            }
            flags = std::uint8_t(flags | 0x80);
            if (!writeAt(file, flagsOffset, &flags, 1))
                return fail(kFailureStatus, "cannot write " + path + ": " + std::strerror(errno));
            std::printf("Marked track %s in %s forced\n", idText.c_str(), path.c_str());
            return 0;
        });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "-sample-entry") == 0)
        return setSampleEntry(argv[2], argv[3], argv[4]);
    if (argc == 4 && std::strcmp(argv[1], "-forced-subtitles") == 0)
        return setForcedSubtitles(argv[2], argv[3]);
    const bool disable = argc == 4 && std::strcmp(argv[1], "-disable") == 0;
    const bool enable = argc == 4 && std::strcmp(argv[1], "-enable") == 0;
    if (!disable && !enable) {
        std::fprintf(stderr, "Error: wrong arguments\nUsage: MP4Box -disable|-enable TRACK_ID "
                             "FILE\n       MP4Box -sample-entry TRACK_ID FOURCC FILE\n"
                             "       MP4Box -forced-subtitles TRACK_ID FILE\n");
        return kUsageStatus;
    }
    return setTrackEnabled(argv[2], argv[3], enable);
}
