#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// How handed-over files are sorted into movies and subtitle files, and how a
// subtitle file is found for a movie.

inline const QStringList kMovieFileTypes = {"mkv", "mp4", "mov", "ogm"};
inline const QStringList kTextSubtitleTypes = {"srt", "ass", "ssa", "smi"};

bool isMovieFile(const QString& path);
// True for srt/ass/ssa/smi, and for a "sub" file that does not start with an
// MPEG program stream pack header (00 00 01 BA), which marks image subtitles.
bool isSubtitleFile(const QString& path);
// Adds the subtitle file under its path without one and without two
// extensions (Film.en.srt pairs with Film.mkv).
void rememberSubtitle(QHash<QString, QString>& subtitlesByBase, const QString& subtitlePath);
// Sorts files as the intake does: text subtitles first, then "sub" files,
// in order; answers the movies in the order given.
QStringList sortIntakeFiles(const QStringList& files, QHash<QString, QString>& subtitlesByBase);
// The key under which a movie's subtitle file is remembered.
QString subtitleKeyForMovie(const QString& moviePath);
