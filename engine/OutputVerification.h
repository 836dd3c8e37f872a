#pragma once

#include "inspection/StreamEnds.h"

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
    // Where its first sample is shown on the movie's time line.
    double startSeconds = 0;
    // How long it is shown there, from its first sample to the end of its
    // last: its edit list's media edit, else its own duration.
    double spanSeconds = 0;
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
    // Where the video and each mapped audio track (in output order) start in
    // the source, counted from the source's start as ffmpeg counts it;
    // absent where unknown.
    std::optional<double> videoStart;
    QList<std::optional<double>> audioStarts;
    // How long each of those source streams lasts, from its first sample to
    // the end of its last, and its codec's frame; absent where unknown.
    struct Span
    {
        double seconds = 0;
        double frameSeconds = 0;
    };
    QList<std::optional<Span>> audioSpans;
    // ffmpeg said that the source ends before its stated length (a recording
    // cut off by a crash): a shorter file holds all there was.
    bool inputEndedEarly = false;
};

// Where the mapped streams come from: `encodedAudioStream` is the source
// stream of the mux stage's new AAC track (its "1:0"); `streamStarts` and
// `inputStart` the source's stream starts (ffprobe's start_time).
struct MappedSource
{
    std::optional<int> encodedAudioStream;
    QHash<int, double> streamStarts;
    std::optional<double> inputStart;
    // Where the source's audio streams end (their last packets).
    QHash<int, StreamEnd> streamEnds;
    // The movie has no sound: nothing but the video (and subtitles) is mapped.
    bool withoutAudio = false;
};

// What the last command line maps: its first "-map" is the video, the next
// one or two (with the surround track) and the further audio tracks the
// audio, the rest subtitles. A movie without sound maps no audio
// (`addedSurround` false, the command line's only "-map" the video). The length to expect is that
// of the mapped video and audio streams when the source names it per stream (`streamSeconds`, by
// stream number: Matroska files carry it), since a subtitle or a track left
// out may run longer than the movie; otherwise the source's run time.
ExpectedOutput expectedOutput(const QStringList& arguments, bool addedSurround,
                              std::optional<qint64> runtimeSeconds,
                              const QHash<int, double>& streamSeconds = {},
                              int furtherAudioTracks = 0, const MappedSource& source = {});

// What is missing from the written file, as one sentence for the failure
// explanation ("The converted file has no video frames."); empty when it holds
// the mapped video and audio and lasts as long as the movie (within 2 s or
// 2 %, measured on its video and audio tracks), and every audio track starts
// where its source stream starts (within 40 ms, one AAC frame: "The sound of
// the converted file is 0.50 s early.") and lasts as long as its source
// stream (within 40 ms and one frame: "The sound of the converted file ends
// 1.00 s early: part of it went missing."). Subtitles are not required:
// ffmpeg leaves out a subtitle track without a single cue, which is no fault.
QString outputProblem(const ExpectedOutput& expected, const std::optional<WrittenMovie>& written);

// Whether ffmpeg's output says the input ended before its stated end ("File
// ended prematurely" and the like).
bool saysInputEndedEarly(const QString& toolOutput);
// How long the written movie plays: its longest video or audio track.
double playedSeconds(const WrittenMovie& written);
// The warning of a movie that ends early: "Warning: 'NAME' ends after 0:03
// of its 0:06; the MP4 holds all of it that could be read."; empty when the
// file is not shorter than the movie (within the length check's tolerance)
// or the movie's length is unknown.
QString truncationWarning(const QString& name, double writtenSeconds,
                          std::optional<double> runtimeSeconds);

// Reads a written MP4's box headers (never its media data); absent when it
// cannot be read as one.
std::optional<WrittenMovie> readWrittenMovie(const QString& path);
