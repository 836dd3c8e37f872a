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
// A two-line SubRip file.
bool writeSrt(const QString& path);
// ffprobe's streams of a file, in file order.
QJsonArray probeStreams(const QString& path);
// What players treat as an enabled MP4 track: ffprobe's default disposition.
bool streamEnabled(const QJsonValue& stream);
QString streamValue(const QJsonValue& stream, const QString& key);
QString streamTag(const QJsonValue& stream, const QString& tag);
