#pragma once

#include <QString>

// What a movie's file name says it is, as media libraries name their files:
// an episode of a show ("Northern Lights - S02E05 - The Long Night.mkv",
// "Show.S02E05.720p.WEB-DL.mkv", "Show 2x05.mkv", "Show/Season 2/05
// Title.mkv") or a movie with its year ("The Quiet Harbour (2019)
// 1080p BluRay.mkv", "Title.2019.1080p.BluRay.x264.mkv"). The words of a
// release (resolution, source, codec, group) never reach a title.
struct NamedMovie
{
    enum class Kind { Unknown, Episode, Movie };
    Kind kind = Kind::Unknown;
    // The show's name (episodes only).
    QString show;
    int season = 0;
    int episode = 0;
    // The episode's title, or the movie's; empty when the name has none.
    QString title;
    // The movie's year; 0 when unknown.
    int year = 0;
};

// Reads the movie's path (its name, and for an episode numbered alone the
// season folder and the show's folder above it). A name that says neither
// is Unknown.
NamedMovie movieFromPath(const QString& path);

// The words of a name as a title: dots and underscores between words become
// spaces (where the name has no spaces of its own), release words and all
// after them are cut, and separators at the ends go.
QString titleFromWords(const QString& words);

// Whether the text holds a word of a release's description ("1080p",
// "BluRay", "x264"): a title tag that does is a file name, not a title.
bool hasReleaseWords(const QString& text);
