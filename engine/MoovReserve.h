#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class MKVFileInfo;

// One audio track of a written movie.
struct MoovAudioTrack
{
    int sampleRate = 0; // samples per second; 0 when unknown
    QString codec;      // the codec written: "aac", "ac3", "eac3", "mp3", ...
};

// What the size of a movie's index (its moov box) follows from: how long the
// movie lasts and how many samples a second each of its tracks has.
struct MoovEstimateInputs
{
    std::optional<double> durationSeconds;
    bool hasVideo = false;
    std::optional<double> videoFrameRate;
    QList<MoovAudioTrack> audioTracks;
    int subtitleTracks = 0;
    // The cover picture, which ffmpeg writes into the index.
    qint64 coverBytes = 0;
};

// Audio samples (frames) a second of a codec: AAC 1024 audio samples a
// frame, AC3 and E-AC3 1536, MP3 1152, DTS 512, Opus 960, anything else
// counted as 1024. An unknown sample rate counts as 96 kHz.
double audioFramesPerSecond(const MoovAudioTrack& track);

// The bytes to reserve for the index before the media (ffmpeg's
// -moov_size), so a streamable file is written in one pass. Every sample
// table is counted at its worst (a size, a duration, a composition offset
// and a sync entry for each video frame, a chunk of its own for every
// sample, 64-bit chunk offsets, two subtitle samples a second), plus a fixed
// part per track and a margin. Absent when the duration, or the frame rate
// of a movie with video, is unknown, or the reserve would pass what ffmpeg
// accepts.
std::optional<qint64> moovReserveBytes(const MoovEstimateInputs& in);

// The tracks an ffmpeg run writes, read from its arguments: each "-map" of a
// stream of the source (input 0) is its video, one of its audio tracks (with
// the codec "-acodec", "-c:a" or "-c:a:N" gives it; "copy" keeps the
// source's) or one of its subtitles; a map of another input is a subtitle
// file, except the input at `encodedAudioFile` (the mux stage's AAC, of
// `encodedAudioRate` samples a second). A map this cannot read counts as
// every audio and subtitle stream of the source. The duration is the
// longest the probe knows: the run time or any stream's own length.
MoovEstimateInputs moovEstimateInputs(const QStringList& arguments, const MKVFileInfo& info,
                                      const QString& encodedAudioFile = QString(),
                                      int encodedAudioRate = 0);
