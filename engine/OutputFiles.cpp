#include "engine/OutputFiles.h"

#include "foundation/Alerts.h"
#include "foundation/FileMode.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names stay within the file system's 255 bytes with room for a "-N".
constexpr qsizetype kMaxNameBytes = 255 - 8;

// Drops characters from the end of `base` until `base + rest` fits.
QString shortened(QString base, const QString& rest)
{
    while (!base.isEmpty() && (base + rest).toUtf8().size() > kMaxNameBytes)
        base.chop(1);
    if (!base.isEmpty() && base.back().isHighSurrogate())
        base.chop(1);
    return base;
}

enum class Rename { Done, Taken, Failed };

// rename(2) that never replaces an existing name. File systems without
// RENAME_NOREPLACE get a hard link and an unlink; those without hard links
// (vfat) a check for the name right before a plain rename.
Rename renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return Rename::Done;
    if (errno == EEXIST)
        return Rename::Taken;
    if (errno != EINVAL && errno != ENOSYS)
        return Rename::Failed;
    if (::link(src.constData(), dst.constData()) == 0) {
        ::unlink(src.constData());
        return Rename::Done;
    }
    if (errno == EEXIST)
        return Rename::Taken;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return Rename::Failed;
    if (::access(dst.constData(), F_OK) == 0 || errno != ENOENT)
        return Rename::Taken;
    return ::rename(src.constData(), dst.constData()) == 0 ? Rename::Done : Rename::Failed;
}

// Whether the flush of `path` lets the movie count as on the disk; the
// system's account of a failure goes to `reason`.
bool flushed(DiskSync sync, const QString& path, QString& reason)
{
    const int error = errno;
    if (sync == DiskSync::Done)
        return true;
    if (sync == DiskSync::Unsupported) {
        asl_NSLog(3,
                  "The file system of %@ does not flush to the disk (%s); a power cut may "
                  "lose what was written there",
                  path, std::strerror(error));
        return true;
    }
    // ENOSPC reads "No space left on device", which the failure explanation
    // knows.
    reason = makeString(" (%s)", std::strerror(error));
    asl_NSLog(3, "Could not flush %@ to the disk: %s", path, std::strerror(error));
    return false;
}

} // namespace

QString temporaryFilePath(const QString& folder, const QString& movieName, const QString& suffix)
{
    return stringByAppendingPathComponent(folder, shortened(movieName, suffix) + suffix);
}

QString reserveUniqueFile(const QString& path, TemporaryKind kind, QString* error)
{
    // Bounded: a folder with ten thousand files of one name is not waited for.
    for (int n = -1; n < 10000; ++n) {
        const QString candidate = numberedName(path, n);
        const QByteArray name = QFile::encodeName(candidate);
        int made = -1;
        if (kind == TemporaryKind::Fifo) {
            made = ::mkfifo(name.constData(), 0600);
        } else {
            made = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (made >= 0)
                ::close(made);
        }
        if (made >= 0)
            return candidate;
        if (errno != EEXIST) {
            if (error)
                *error = QString::fromLocal8Bit(std::strerror(errno));
            return {};
        }
    }
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(EEXIST));
    return {};
}

QString reserveTemporaryFile(const QString& movieName, const QString& suffix, TemporaryKind kind,
                             QString* error)
{
    return reserveUniqueFile(temporaryFilePath(appInfo().cacheDir(), movieName, suffix), kind,
                             error);
}

bool acceptsWrites(const QString& reservedFile)
{
    if (reservedFile.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(reservedFile).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const char text[] = "TEST";
    const bool written = ::write(fd, text, 4) == 4;
    const bool emptied = ::ftruncate(fd, 0) == 0;
    return ::close(fd) == 0 && written && emptied;
}

void releaseFifoOpeners(const QString& fifo)
{
    if (fifo.isEmpty())
        return;
    // Linux opens a FIFO for reading and writing at once without waiting,
    // and that wakes whoever waits in open() for the other end.
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
}

QString partialPathFor(const QString& destination)
{
    const QString folder = stringByDeletingLastPathComponent(destination);
    const QString name = lastPathComponent(destination);
    const QString extension = pathExtension(name);
    const QString stem = extension.isEmpty() ? name : name.left(name.size() - extension.size() - 1);
    const QString rest = extension.isEmpty() ? QStringLiteral(".partial")
                                             : makeString(".%@.partial.%@", extension, extension);
    return stringByAppendingPathComponent(folder,
                                          QStringLiteral(".") + shortened(stem, "." + rest) + rest);
}

std::optional<QString> moveIntoPlace(const QString& partial, const QString& destination)
{
    QString target = destination;
    // Bounded: a folder with ten thousand movies of one name is not waited for.
    for (int n = 0; n <= 10000; ++n) {
        switch (renameNoReplace(partial, target)) {
        case Rename::Done:
            return target;
        case Rename::Failed:
            return std::nullopt;
        case Rename::Taken:
            target = numberedName(destination, n);
            break;
        }
    }
    return std::nullopt;
}

PlacedMovie placeFinishedMovie(const QString& partial, const QString& destination)
{
    const QString notWritten = QCoreApplication::translate(
        "OutputFiles", "The converted file could not be written to the disk.");
    PlacedMovie placed;
    // Written under owner-only rights, the finished movie becomes a file
    // like any other the user makes, readable by a media server or a share.
    // A file system that keeps no modes is no reason to lose the movie.
    if (!giveNewFileMode(partial))
        asl_NSLog(3, "Could not give %@ the mode of a new file: %s", partial, std::strerror(errno));
    // ffmpeg and MP4Box leave the movie in the page cache; renamed before it
    // is on the disk, a power cut can leave an empty or torn file under the
    // finished name.
    if (!flushed(syncFile(partial), partial, placed.reason)) {
        placed.problem = notWritten;
        return placed;
    }
    const std::optional<QString> moved = moveIntoPlace(partial, destination);
    if (!moved) {
        placed.problem =
            makeString(QCoreApplication::translate("OutputFiles",
                                                   "The converted file could not be moved to %@."),
                       destination);
        return placed;
    }
    const QString folder = stringByDeletingLastPathComponent(*moved);
    if (!flushed(syncFolder(folder), folder, placed.reason)) {
        // The name may not survive a power cut: the job fails and keeps its
        // source, so the movie does not stay looking finished.
        QFile::remove(*moved);
        placed.problem = notWritten;
        return placed;
    }
    placed.path = moved;
    return placed;
}
