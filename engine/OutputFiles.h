#pragma once

#include <QString>
#include <optional>

// The files a job writes besides its destination, and how the finished movie
// gets there.

// What a temporary file of a job is on the disk.
enum class TemporaryKind { File, Fifo };

// The path of a temporary file named after the movie plus `suffix` (".log",
// ".tmp.aac", ...) in `folder`. A long movie name is shortened so the name,
// with room for the "-N" of the unique-name rule, stays within 255 bytes.
QString temporaryFilePath(const QString& folder, const QString& movieName, const QString& suffix);

// Reserves `path`, or the first free name of the unique-name rule after it
// ("Film-0.mp4", ...), by creating it (an empty file, or a FIFO) with
// O_EXCL, so that two jobs, or two processes, never get one name. Empty when
// none could be made; `error` then holds the system's reason.
QString reserveUniqueFile(const QString& path, TemporaryKind kind = TemporaryKind::File,
                          QString* error = nullptr);

// Reserves a temporary file in the cache folder named after the movie plus
// `suffix` (reserveUniqueFile).
QString reserveTemporaryFile(const QString& movieName, const QString& suffix,
                             TemporaryKind kind = TemporaryKind::File, QString* error = nullptr);

// Whether a file reserved for a tool's output takes bytes (the folder is
// writable and not full): a few are written and taken back.
bool acceptsWrites(const QString& reservedFile);

// Lets every tool blocked opening the FIFO (for reading or for writing) go
// on, so that a tool told to end can see it: the FIFO is opened for both at
// once without blocking and closed again. Never blocks.
void releaseFifoOpeners(const QString& fifo);

// The hidden file ffmpeg writes beside the destination: "/out/Film.mp4" gives
// "/out/.Film.mp4.partial.mp4", keeping the extension from which ffmpeg picks
// its muxer. Long names are shortened to fit 255 bytes. Pure: nothing is
// looked at on disk.
QString partialPathFor(const QString& destination);

// Moves the finished partial file to the destination in one rename within its
// folder, never replacing anything: when the name was taken meanwhile, the
// next free name of the unique-name rule ("Film-0.mp4", "Film-1.mp4", ...) is
// used. Answers the path the movie now has, or nothing when it could not be
// moved (the partial file is then still where it was).
std::optional<QString> moveIntoPlace(const QString& partial, const QString& destination);

// What placeFinishedMovie did: the path the movie now has, or, in the words
// the job shows, why the movie did not get there (then `reason` holds the
// system's account of the error, when there is one).
struct PlacedMovie
{
    std::optional<QString> path;
    QString problem;
    QString reason;
};

// Makes the finished partial file the destination so that a power cut cannot
// undo it: the file, reserved with owner-only rights, gets the mode of a
// normal new file (newFileMode; a refusal is logged), is flushed to the disk, moved into place
// (moveIntoPlace) and its folder flushed, so that the new name is on the disk as well. Only after
// this may anything happen to the source movie. When the disk does not confirm a flush, no movie is
// left at the destination: the file is the partial file still, or is removed again when the
// folder's flush failed. A file system that offers no flush at all (some FUSE and SMB mounts) is
// logged and trusted.
PlacedMovie placeFinishedMovie(const QString& partial, const QString& destination);
