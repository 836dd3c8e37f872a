#pragma once

#include <QString>
#include <QStringList>

// What an MP4 can hold of a movie's video and where the result plays, by
// the codec word ffmpeg lists ("h264", "vp9", "theora", …), and which of
// the containers ffmpeg reads are movies.

// The video codecs an MP4 holds as they are: the video is copied, never
// re-encoded, so anything else cannot be converted.
bool mp4HoldsVideo(const QString& codec);

// A name people know the codec by ("Theora", "Windows Media Video 9");
// the codec word in capitals for one without a known name.
QString videoCodecName(const QString& codec);

// Why a movie with this video cannot be converted ("its video is Theora,
// which an MP4 cannot hold without re-encoding."); empty when it can.
QString uncopyableVideoReason(const QString& codec);

// The note for video that plays on computers but not on every device
// ("its VP9 video plays on computers and Android, not on iPhone or Apple
// TV."), from the codec word, its stream line in ffmpeg's listing (which
// names the profile) and whether its samples have more than 8 bits; empty
// for video that plays everywhere.
QString playbackNoteFor(const QString& codec, const QString& streamLine, bool highBitDepth);

// Whether one of the format names ffmpeg gives an input ("matroska,webm",
// "mov,mp4,m4a,3gp,3g2,mj2", "mpegts") is a movie container; pictures,
// raw streams and text are not.
bool isMovieContainer(const QStringList& formats);

// Why a file ffmpeg reads as these formats is not converted ("it is a
// picture, not a movie"); empty for a movie container or unknown formats.
QString notAMovieContainerReason(const QStringList& formats);

// Containers whose clock may jump (a transport stream joined from two
// recordings, a program stream restarting at a DVD cell): their length is
// counted from the packets when the container's reading is not believable.
bool hasDiscontinuousClock(const QStringList& formats);
