#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// When each stream of a movie starts, as ffprobe reads it: an audio track
// muxed with a delay (DVD and Blu-ray rips carry such delays all the time)
// starts after its video, and the MP4 must keep that distance.
struct StreamTimings
{
    // The start of the input as ffmpeg counts it: the earliest start of any
    // of its streams. ffmpeg subtracts it from every timestamp it writes.
    std::optional<double> inputStart;
    // Seconds by stream number, for the streams whose start is known.
    QHash<int, double> starts;
    // Samples per second by stream number, for the audio streams.
    QHash<int, int> sampleRates;
    // Frames per second by stream number, for the video streams whose
    // average rate is known.
    QHash<int, double> frameRates;
    // The title each stream was given ("Mic", "Commentary"), by stream
    // number; streams without one are absent.
    QHash<int, QString> titles;
};

// The ffprobe command (without the executable) that prints what
// parseStreamTimings reads.
QStringList streamTimingsArguments(const QString& path);
// The same ffprobe run printing, before its compact lines, the listing
// ffmpeg -i prints (its header dump): one run of one tool reads both.
QStringList listingAndTimingsArguments(const QString& path);
// The listing part of that run's output, as ffmpeg -i prints it: without
// the compact lines, and with the channel layout ffmpeg guesses ("7.1")
// where ffprobe gives a count ("8 channels").
QString listingPart(const QString& output);

// Reads ffprobe's compact output ("stream|index=1|sample_rate=48000|
// start_time=0.500000|tag:title=Mic", "format|start_time=0.023000"); values
// that are missing or "N/A" stay absent. A title's "|" and "\" come escaped
// with a backslash.
StreamTimings parseStreamTimings(const QString& text);
