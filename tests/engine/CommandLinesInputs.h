#pragma once

#include "engine/CommandLines.h"

#include <QString>
#include <QStringList>

// The movie and the settings the command-line tests build from.
inline const QString kSource = QStringLiteral("/movies/Movie.mkv");
inline const QString kDest = QStringLiteral("/out/Movie.mp4");
inline const QString kProgress = QStringLiteral("/home/u/.cache/Vantreo/Movie.mkv.log");
inline const QString kSubtitle = QStringLiteral("/movies/Movie.srt");
inline const QString kAac = QStringLiteral("/home/u/.cache/Vantreo/Movie.mkv.aac.fifo");
// The mux's inputs: the source, then the encoder's ADTS stream from its FIFO.
inline const QStringList kMuxInputs = {"-i", kSource, "-thread_queue_size", "1024", "-f", "aac",
                                       "-i", kAac};

inline ConversionInputs inputs(const QStringList& tracks, int chosen = 0)
{
    ConversionInputs in;
    in.sourcePath = kSource;
    in.outputPath = kDest;
    in.progressFile = kProgress;
    in.videoTrackID = 0;
    in.audioTracks = audioTracksFromDescriptors(tracks);
    in.audioTrackIndex = chosen;
    return in;
}

// Everything switched on for the compatible style.
inline ConversionSettings allEnabled()
{
    ConversionSettings s;
    s.conversionPreset = 0;
    s.includeSurroundTrack = 1;
    s.includeSurroundTrackTranscoded = 1;
    s.includeSurroundTrackDisabled = 1;
    s.disableBuiltinSubtitles = 0;
    return s;
}

inline QStringList tail(const QStringList& dest)
{
    return QStringList{"-progress", kProgress, "-loglevel", "warning", "-y"} + dest;
}
