#pragma once

#include "engine/SubtitleTracks.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Reading picture subtitles as text before a conversion: which tracks are
// read, the command line of our reader (subocr), what its output says, and
// the subtitle tracks its SRT files become. Pure: the trained data's place
// is looked up, nothing else.

// One picture track to read.
struct PictureReading
{
    SubtitleTrack track;
    QString input;             // the movie, or the picture subtitle file
    std::optional<int> stream; // the movie's stream; absent for a file
    QString language;          // Tesseract's code
    QString tessdata;          // the folder of its trained data
    // Subtracted from every time: the movie's start as ffmpeg counts it,
    // which it takes off the movie's streams but not off a subtitle file.
    double offset = 0;
    // Only its forced events are wanted (KeepForcedSubtitles keeps them of a
    // track the settings leave out).
    bool forcedOnly = false;
};

struct ReadingPlan
{
    QList<PictureReading> readings;
    // Tracks that cannot be read here, one note each.
    QStringList notes;
};

// The picture tracks a conversion reads: those it writes, whose language's
// trained data is installed (the others get a note naming the package), and
// with KeepForcedSubtitles and no choice for the movie the other picture
// streams in the chosen audio's language, for their forced events.
ReadingPlan pictureReadings(const ConversionInputs& in, const ConversionSettings& s);

// The notes of the picture tracks a conversion would leave out for want of
// trained data, for the add panel and the command line before it runs.
QStringList pictureReadingNotes(const ConversionInputs& in, const ConversionSettings& s);

// subocr's arguments: every event into `srt`, the forced ones also into
// `forcedSrt`.
QStringList subocrArguments(const PictureReading& reading, const QString& srt,
                            const QString& forcedSrt);

// subocr's closing line: "events: 12 read: 11 forced: 2 empty: 1".
struct ReadingSummary
{
    int events = 0, read = 0, forced = 0, empty = 0;
};
std::optional<ReadingSummary> readingSummary(const QString& output);
// The last "progress: P" of subocr's output so far; absent before the first.
std::optional<int> latestReadingProgress(const QString& output);
// The reason subocr gave for failing (its "Error: " line), else empty.
QString readingError(const QString& output);

// The subtitle tracks a finished reading gives: none when nothing was read
// (or, for forced events only, none was forced); the track, forced when the
// movie marks it forced or every event read is forced; and for a track that
// mixes forced and other events, the whole track and a forced-only track
// beside it.
QList<SubtitleFile> tracksFromReading(const PictureReading& reading, const ReadingSummary& summary,
                                      const QString& srt, const QString& forcedSrt);

// "subtitle track 4 (jpn)", "subtitle file Film.jpn.sup (jpn)".
QString trackName(const SubtitleTrack& track);
