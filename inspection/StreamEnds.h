#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Where each audio stream of a movie ends, read from its last packets:
// neither container nor muxer says it alike (mkvmerge's DURATION tag is a
// stream's length, ffmpeg's its end), so the packets are asked.
struct StreamEnd
{
    // The end of the last packet (its time stamp plus its duration), on the
    // same clock as the streams' start times.
    double seconds = 0;
    // The length of that packet: one frame of the stream's codec; 0 when
    // the container does not say.
    double frameSeconds = 0;
};

// The ffprobe command (without the executable) that lists the packets of
// the movie's end: it seeks past the end, which every demuxer answers with
// its last seek point, so only the tail is read. The packets of every
// stream are listed: the seek goes by the movie's main stream, its video
// unless that is left out, and a Matroska file's index (its cues) names
// only the video's key frames, so with the audio alone it read the whole
// file. It prints the container's
// start and length too.
QStringList streamEndsArguments(const QString& path);

// Reads that listing ("packet|stream_index=1|pts_time=5.984000|
// duration_time=0.032000"): the latest end per stream. Packets without a
// time stamp are passed over. Some demuxers guess the time stamps after a
// seek (Ogg counts them from its pages), so no end is taken past the
// container's own end ("format|start_time=0.000000|duration=2.037551") by
// more than a frame.
QHash<int, StreamEnd> parseStreamEnds(const QString& text);
