#pragma once

#include "inspection/AudioTrack.h"
#include "inspection/PlaybackWarnings.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// A picture the movie carries beside its video: a Matroska attachment
// ("cover.jpg") or the cover of an MP4 or MOV.
struct AttachedPicture
{
    int stream = 0;
    // The codec word ("mjpeg", "png").
    QString codec;
    // The attachment's name; empty for an MP4's cover.
    QString fileName;
};

// What the ffmpeg "-i" listing of one input tells about it.
struct ProbeResult
{
    // The names ffmpeg gives the input's format ("matroska", "webm").
    QStringList containerFormats;
    // One per audio stream, in listing order.
    QList<AudioTrack> audioTracks;
    // Stream number of the last video stream (cover art excluded).
    std::optional<int> videoStream;
    // The codec word of that stream as ffmpeg names it ("h264", "hevc", …).
    QString videoCodec;
    // The Dolby Vision profile of that stream (5, 8, …), from the DOVI
    // configuration record ffmpeg lists among its side data; absent without.
    std::optional<int> dolbyVisionProfile;
    // Stream numbers of the subtitle streams in a text format, and their
    // language words ("unk" when untagged), in the same order.
    QList<int> textSubtitleStreams;
    QStringList textSubtitleLanguages;
    // The same for the subtitle streams in a picture format (Blu-ray PGS,
    // DVD VobSub, DVB, DivX XSUB), which are read as text.
    QList<int> pictureSubtitleStreams;
    QStringList pictureSubtitleLanguages;
    // Subtitle streams the movie marks forced (Matroska's forced flag).
    QList<int> forcedSubtitleStreams;
    // Streams whose language was tagged by name ("English") and is kept as
    // its code: ffmpeg would copy the name, which an MP4 cannot store.
    QList<int> nameTaggedStreams;
    std::optional<qint64> runtimeSeconds;
    // Seconds by stream number, where the listing names a stream's own
    // length (the DURATION tag Matroska muxers write per track).
    QHash<int, double> streamSeconds;
    std::optional<QString> durationText;
    std::optional<QString> bitrateText;
    std::optional<QString> resolutionText;
    int audioCount = 0;
    int subtitleCount = 0;
    // The movie's own tags as ffmpeg lists them ("TITLE", "DATE_RELEASED",
    // "track" for Matroska's PART_NUMBER), by key as written.
    QHash<QString, QString> movieTags;
    // The pictures it carries, in listing order.
    QList<AttachedPicture> attachedPictures;
    // Where the video does not play (playbackNoteFor); empty when it plays
    // everywhere.
    QString playbackNote;
    // Warning keys raised while reading the stream lines, in order.
    QStringList warnings;
};

// Reads the listing that "ffmpeg -i FILE" prints (standard error).
ProbeResult parseFfmpegListing(const QString& text);

// The listing of "ffmpeg -i A -i B …" cut into one listing per input, in
// the order given: each runs from its "Input #N" line to the next. ffmpeg
// stops at an input it cannot open, so fewer listings than inputs say which
// input failed (the first one missing) and that the rest were not read.
QStringList listingsByInput(const QString& text);

// mediainfo's XML for several files cut into one <media> element each,
// keyed by the file path the element names.
QHash<QString, QString> mediainfoXmlByFile(const QString& xml);

// "Duration: %@  Bitrate: %@  Resolution: %@  Audiotracks: %i (%i)", with
// "(null)" for a value that was not found.
QString summaryLine(const ProbeResult& result);

// The leading decimal integer of the text (after leading white space, with
// an optional sign), clamped to the int range; 0 when there is none.
int leadingInt(const QString& text);

// Width and height of a resolution text such as "1920x1080"; 0 for a part
// without a leading number.
std::pair<int, int> dimensionsOfResolution(const QString& resolution);

// Wider than full HD.
bool isResolutionTooHigh(int width);

// The number of reference frames of the first video stream in mediainfo's
// XML output; absent when the output names none.
std::optional<int> referenceFramesFromMediainfoXml(const QString& xml);

// The most reference frames a player of full-HD class decodes at this size:
// floor(8388608 / (width * height)); absent (no limit) for a zero area.
std::optional<qint64> referenceFrameLimit(int width, int height);
bool hasTooManyReferenceFrames(int referenceFrames, int width, int height);
