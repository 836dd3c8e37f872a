#pragma once

#include <QString>

// What the after-conversion settings and "Show Source" do to a job's source
// movie. A movie reached through one of our links (RawNameLinks.h) is the
// real movie behind the link: that one is deleted, trashed or shown, and the
// link goes once the movie has gone. Errors are ignored, as for any delete.

void deleteSourceMovie(const QString& path);
// A movie that cannot be moved to the Trash stays where it is, under its own
// name; it is never deleted instead. A linked movie is given its clean name
// for the move (the Trash takes names a QString can hold), so the Trash lists
// it and puts it back under that name. One in a folder whose own name is not
// UTF-8 stays where it is: the Trash would record our link as its place.
void trashSourceMovie(const QString& path);
// Shows the movie in the file manager; for a linked movie, its real folder.
void revealSourceMovie(const QString& path);
