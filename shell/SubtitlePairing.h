#pragma once

class MKVFileInfo;

#include <QString>
#include <QStringList>

// How handed-over files are sorted into movies and subtitle files, and which
// subtitle files go with a movie.

// The names movies go by, for the open dialog, the desktop entry and the
// library walks: Matroska and WebM, the MP4 family, AVI, MPEG transport
// streams (DVB, IPTV, AVCHD) and program streams (DVD, MPEG), FLV, Ogg and
// Windows Media (whose video is refused with its codec named).
inline const QStringList kMovieFileTypes = {
    "mkv", "mk3d", "webm", "mp4", "m4v",  "mov", "3gp", "3g2", "avi", "divx", "ts", "m2ts",
    "mts", "m2t",  "vob",  "mpg", "mpeg", "flv", "ogm", "ogv", "ogg", "wmv",  "asf"};

// A file whose name is one of kMovieFileTypes, in any case.
bool isMovieFile(const QString& path);
// A file handed over (dropped, opened, given on the command line) that is
// taken as a movie: one with a movie's name, or a regular file of any
// other name that is neither a subtitle file nor plainly something else (a
// picture, a text, an archive); the probe judges it by what it holds.
bool isMovieCandidate(const QString& path);
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
