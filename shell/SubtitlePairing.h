#pragma once

class MKVFileInfo;

#include <QString>
#include <QStringList>

// How handed-over files are sorted into movies and subtitle files, and which
// subtitle files go with a movie.

inline const QStringList kMovieFileTypes = {"mkv", "mp4", "mov", "ogm"};

bool isMovieFile(const QString& path);
// True for the text subtitle formats ffmpeg reads (a "sub" file only when it
// does not start with an MPEG program stream pack header, 00 00 01 BA, which
// marks image subtitles).
// Picture subtitle files too: a PGS .sup and a VobSub .idx.
bool isSubtitleFile(const QString& path);
// A picture subtitle file that can be read as text: a PGS .sup or a VobSub
// .idx (whose .sub holds the pictures).
bool isPictureSubtitleFile(const QString& path);
// Whether the subtitle file is named for the movie: in the movie's folder,
// its name the movie's base name alone or followed by ".", "_" or " " and
// more, in any case (Film.srt, Film.en.srt, Film.de.forced.srt and
// Film_eng.srt go with Film.mkv).
bool subtitleBelongsToMovie(const QString& moviePath, const QString& subtitlePath);
// Sorts files as the intake does: the subtitle files are added to
// `subtitles` (each once, in the order given); answers the movies in the
// order given.
QStringList sortIntakeFiles(const QStringList& files, QStringList& subtitles);
// Those of `subtitles` that belong to the movie, in their order.
QStringList subtitlesForMovie(const QString& moviePath, const QStringList& subtitles);

// Gives a probed movie its subtitle files: those given with it and, with
// `besideMovie`, those found in its folder (a VobSub .sub without its .idx
// is noted as skipped), each once, in the order of the ranking `languages`;
// picture subtitle files go to the movie's picture subtitle files.
// Looks in the folder: call it where file-system work may block.
void attachSubtitleFiles(MKVFileInfo& info, const QString& moviePath, const QStringList& given,
                         bool besideMovie, const QStringList& languages);
