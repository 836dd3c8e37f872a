#pragma once

#include <QString>
#include <optional>

// What the space check compares, in bytes.
struct FreeSpaceFigures
{
    bool aacViaWav = false; // the three-process method: the chosen track is encoded to AAC
    qint64 runtimeSeconds = 0;
    quint64 sourceSize = 0;
    quint64 bootFree = 0;                 // the volume of the cache folder
    quint64 targetFree = 0;               // the volume of the destination folder
    std::optional<quint64> volumeMaximum; // largest file the destination volume takes
    // Audio tracks kept for the user's languages that ffmpeg encodes to AAC
    // into the MP4 (copied ones are part of the source size already).
    int encodedTracks = 0;
    quint64 aacBitsPerSecond = 128000;
};

// The refusal text, or absent when the job may start.
std::optional<QString> freeSpaceRefusal(const FreeSpaceFigures& f);
// Bytes available to this user on the volume holding the folder; 0 on failure.
quint64 freeSpaceOf(const QString& folder);
// The largest file size the folder's volume supports (vfat: 4 GiB - 1);
// absent when unlimited for our purposes or unknown.
std::optional<quint64> volumeMaximumFileSize(const QString& folder);
// Gathers the figures for a job and, on refusal, gives its text. Answers
// whether the job may start.
bool checkFreeSpace(bool aacViaWav, std::optional<qint64> runtimeSeconds,
                    std::optional<quint64> sourceSize, const QString& destinationPath,
                    QString* refusalText = nullptr, int encodedTracks = 0,
                    quint64 aacBitsPerSecond = 128000);
