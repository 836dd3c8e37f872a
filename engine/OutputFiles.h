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
