#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>

// Small movies made at test time with ffmpeg's lavfi sources: a test
// picture and one sine tone per audio track.

struct AudioRecipe
{
    QString codec = QStringLiteral("aac"); // ffmpeg encoder name ("dca" gets -strict -2)
    int channels = 2;
    QString language = QStringLiteral("eng");
    bool isDefault = false; // the track's default disposition
    QString bitrate;        // empty: the encoder's own
};

struct MovieRecipe
{
    QString path; // the container follows the extension
    int seconds = 2;
    QString size = QStringLiteral("160x120");
    int frameRate = 10;
    QList<AudioRecipe> audio;
    bool embeddedSubtitle = false; // one SubRip stream after the audio
};

// Writes the movie; false (with a warning) when ffmpeg failed.
bool makeMovie(const MovieRecipe& movie);
// A one-second Dolby Vision movie in Matroska: 10-bit HEVC whose
// configuration record names `profile` (5: no compatible base layer; 8: 8.1,
// an HDR10 base layer) and one stereo track in `audioCodec`. False when a
// step failed.
bool makeDolbyVisionMovie(const QString& path, int profile,
                          const QString& audioCodec = QStringLiteral("aac"));
// A two-line SubRip file.
bool writeSrt(const QString& path);
// ffprobe's streams of a file, in file order.
QJsonArray probeStreams(const QString& path);
// What players treat as an enabled MP4 track: ffprobe's default disposition.
bool streamEnabled(const QJsonValue& stream);
QString streamValue(const QJsonValue& stream, const QString& key);
QString streamTag(const QJsonValue& stream, const QString& tag);
