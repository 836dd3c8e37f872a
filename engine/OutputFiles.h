#pragma once

#include <QString>
#include <optional>

// The files a job writes besides its destination, and how the finished movie
// gets there.

// A free path in the documents folder named after the movie plus `suffix`
// (".log", ".tmp.wav", ...). A long movie name is shortened so the name, with
// room for the "-N" that uniqueFile may add, stays within 255 bytes.
QString documentsFile(const QString& movieName, const QString& suffix);

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
// undo it: the file is flushed to the disk, moved into place (moveIntoPlace)
// and its folder flushed, so that the new name is on the disk as well. Only
// after this may anything happen to the source movie. When the disk does not
// confirm a flush, no movie is left at the destination: the file is the
// partial file still, or is removed again when the folder's flush failed.
// A file system that offers no flush at all (some FUSE and SMB mounts) is
// logged and trusted.
PlacedMovie placeFinishedMovie(const QString& partial, const QString& destination);
