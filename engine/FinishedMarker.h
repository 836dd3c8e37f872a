#pragma once

#include <QString>
#include <optional>

// The source a movie was converted from, as the finished MP4 remembers it:
// its file name, size and modification time (milliseconds since the epoch).
struct SourceStamp
{
    QString name;
    qint64 size = 0;
    qint64 modifiedMs = 0;

    bool operator==(const SourceStamp&) const = default;
};

// The stamp of the file at `path` (a link is followed); nothing when it
// cannot be read.
std::optional<SourceStamp> sourceStampOf(const QString& path);

// The writing application tag every conversion writes into its MP4:
// "Vantreo 1.4; source 734003200 bytes, modified 2026-12-08T18:00:00.123Z;
// Film.mkv". A file carrying it at its final name was finished by Vantreo,
// since an unfinished output keeps its hidden partial name until the
// read-back check has passed. Players show it as the writing application.
QString finishedMarkerText(const SourceStamp& source, const QString& version);
std::optional<SourceStamp> parseFinishedMarker(const QString& text);

// The stamp in the MP4 at `path`: read from its box headers and one small
// tag, never its media; nothing for a file without the marker.
std::optional<SourceStamp> finishedMarkerOf(const QString& path);
