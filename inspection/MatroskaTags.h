#pragma once

#include <QHash>
#include <QString>

// The tags a Matroska file gives the whole movie, by target level (70 the
// collection, a show; 60 a season; 50 the episode or the movie), read from
// the file's Tags element: ffmpeg lists only level 50, so a show's name and
// its season would be lost. Tags for one track or attachment are left out;
// names are as written ("TITLE", "PART_NUMBER"). Reads at most the file's
// first index entries and one Tags element of up to a megabyte; anything it
// cannot read gives no tags.
QHash<int, QHash<QString, QString>> matroskaMovieTags(const QString& path);
