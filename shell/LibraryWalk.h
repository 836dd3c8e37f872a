#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Finding the movies of a library: a folder tree of movies, converted in
// place or into a mirror of the tree under another folder.

// Every movie in the tree under `root`, folder by folder in name order. Hidden
// files and folders are passed over, and so are MP4 files that Vantreo
// wrote (they are outputs, not sources). Links to folders are not followed;
// a link to a file is taken only when its target lies inside the tree.
QStringList moviesUnder(const QString& root);
// Every folder of the tree under `root`, `root` first, as moviesUnder walks it.
QStringList foldersUnder(const QString& root);
// The files of one folder of the tree under `root` that are movies by their
// extension, in name order, with the same rules for hidden files and links.
QStringList movieFilesIn(const QString& folder, const QString& root);
// Whether a movie found in a tree is one to convert: a movie file by its
// extension that Vantreo did not write.
bool isLibraryMovie(const QString& path);

// Where the MP4 of `movie` goes: beside it, or with a destination, in the
// destination's folder that mirrors the movie's folder under `root`.
QString libraryOutputFolder(const QString& movie, const QString& root, const QString& destination);

// The MP4 (or M4V) in `outputFolder` that Vantreo finished from `movie` as
// it is now (same name, size and modification time): the output's plain
// name or one made unique with a number. Nothing when there is none, or the
// movie changed since.
std::optional<QString> convertedOutput(const QString& movie, const QString& outputFolder);
