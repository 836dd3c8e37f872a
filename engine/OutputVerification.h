#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Reading the finished MP4 back before a job may call itself Finished: ffmpeg
// can end well having copied nothing (a damaged movie without timestamps).

struct WrittenTrack
{
    enum class Kind { Video, Audio, Subtitle, Other };
    Kind kind = Kind::Other;
    quint64 samples = 0;
    double seconds = 0;
};

struct WrittenMovie
{
    double seconds = 0; // the movie's duration (its longest track)
    QList<WrittenTrack> tracks;
};

struct ExpectedOutput
{
    int audioTracks = 1;
    int subtitleTracks = 0;
    std::optional<double> runtimeSeconds; // the source's; absent when unknown
};

// What the last command line maps: its first "-map" is the video, the next
// one or two (with the surround track) and the further audio tracks the
// audio, the rest subtitles. The length to expect is that of the mapped video
// and audio streams when the source names it per stream (`streamSeconds`, by
// stream number: Matroska files carry it), since a subtitle or a track left
// out may run longer than the movie; otherwise the source's run time.
ExpectedOutput expectedOutput(const QStringList& arguments, bool addedSurround,
                              std::optional<qint64> runtimeSeconds,
                              const QHash<int, double>& streamSeconds = {},
                              int furtherAudioTracks = 0);

// What is missing from the written file, as one sentence for the failure
// explanation ("The converted file has no video frames."); empty when it holds
// the mapped video and audio and lasts as long as the movie (within 2 s or
// 2 %, measured on its video and audio tracks). Subtitles are not required:
// ffmpeg leaves out a subtitle track without a single cue, which is no fault.
QString outputProblem(const ExpectedOutput& expected, const std::optional<WrittenMovie>& written);

// Reads a written MP4's box headers (never its media data); absent when it
// cannot be read as one.
std::optional<WrittenMovie> readWrittenMovie(const QString& path);
