#include "engine/OutputVerification.h"

#include "engine/BoxFileReading.h"
#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"
#include "mp4box/Mp4Boxes.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cmath>

namespace {

// Allowed difference between the movie's run time and the file's duration.
constexpr double kToleranceSeconds = 2.0;
constexpr double kToleranceShare = 0.02;

int countOf(const WrittenMovie& movie, WrittenTrack::Kind kind)
{
    return int(std::count_if(movie.tracks.begin(), movie.tracks.end(),
                             [kind](const WrittenTrack& t) { return t.kind == kind; }));
}

QString audioTracksText(int n)
{
    return n == 1
               ? QCoreApplication::translate("OutputVerification", "1 audio track")
               : QCoreApplication::translate("OutputVerification", "%n audio tracks", nullptr, n);
}

WrittenTrack::Kind kindOf(std::uint32_t handler)
{
    switch (handler) {
    case mp4::fourCC("vide"):
        return WrittenTrack::Kind::Video;
    case mp4::fourCC("soun"):
        return WrittenTrack::Kind::Audio;
    case mp4::fourCC("text"):
    case mp4::fourCC("sbtl"):
    case mp4::fourCC("subt"):
        return WrittenTrack::Kind::Subtitle;
    default:
        return WrittenTrack::Kind::Other;
    }
}

double toleranceFor(double runtime)
{
    return std::max(kToleranceSeconds, runtime * kToleranceShare);
}

// "0:03", "1:02:03".
QString clockText(double seconds)
{
    const qint64 total = qRound64(std::max(0.0, seconds));
    const qint64 h = total / 3600, m = total / 60 % 60, sec = total % 60;
    return h > 0 ? QStringLiteral("%1:%2:%3")
                       .arg(h)
                       .arg(m, 2, 10, QChar(u'0'))
                       .arg(sec, 2, 10, QChar(u'0'))
                 : QStringLiteral("%1:%2").arg(m).arg(sec, 2, 10, QChar(u'0'));
}

QString lengthProblem(const ExpectedOutput& expected, const WrittenMovie& written)
{
    if (expected.runtimeSeconds) {
        const double runtime = *expected.runtimeSeconds;
        const double tolerance = toleranceFor(runtime);
        const double seconds = playedSeconds(written);
        // A source that ended early gives a shorter file holding all of it.
        if (expected.inputEndedEarly && seconds < runtime)
            return {};
        if (!(std::fabs(seconds - runtime) <= tolerance))
            return makeString(
                QCoreApplication::translate(
                    "OutputVerification", "The converted file lasts %@ instead of the movie's %@."),
                formattedTimeFromTimeInterval(seconds), formattedTimeFromTimeInterval(runtime));
    }
    return {};
}

// Allowed difference between where a track's sound starts in the source and
// in the file: one AAC frame.
constexpr double kSyncToleranceSeconds = 0.04;

// An audio track that starts elsewhere than its source stream, measured
// against the video (what the viewer hears) and against the movie's own
// start. ffmpeg drops the frames before the first key frame of a copied
// video, and a muxer may move every track alike: either is no fault, so a
// track is out of sync only when both measures say so.
QString syncProblem(const ExpectedOutput& expected, const WrittenMovie& written, double videoStart)
{
    qsizetype audioIndex = 0;
    for (const WrittenTrack& t : written.tracks) {
        if (t.kind != WrittenTrack::Kind::Audio)
            continue;
        const std::optional<double> wanted = expected.audioStarts.value(audioIndex++);
        if (!wanted)
            continue;
        const double fromStart = t.startSeconds - *wanted;
        std::optional<double> fromVideo;
        if (expected.videoStart)
            fromVideo = (t.startSeconds - videoStart) - (*wanted - *expected.videoStart);
        if (std::fabs(fromStart) <= kSyncToleranceSeconds ||
            (fromVideo && std::fabs(*fromVideo) <= kSyncToleranceSeconds))
            continue;
        const double off = fromVideo.value_or(fromStart);
        return off < 0
                   ? QCoreApplication::translate("OutputVerification",
                                                 "The sound of the converted file is %1 s early.")
                         .arg(std::fabs(off), 0, 'f', 2)
                   : QCoreApplication::translate("OutputVerification",
                                                 "The sound of the converted file is %1 s late.")
                         .arg(std::fabs(off), 0, 'f', 2);
    }
    return {};
}

// An audio track shorter on the time line than its source stream: a gap in
// the sound closed up (everything after it then plays early) or its end
// lost. A longer one is no fault (an encoder pads its last frame).
QString spanProblem(const ExpectedOutput& expected, const WrittenMovie& written)
{
    qsizetype audioIndex = 0;
    for (const WrittenTrack& t : written.tracks) {
        if (t.kind != WrittenTrack::Kind::Audio)
            continue;
        const std::optional<ExpectedOutput::Span> wanted = expected.audioSpans.value(audioIndex++);
        if (!wanted)
            continue;
        const double missing = wanted->seconds - t.spanSeconds;
        if (missing > kSyncToleranceSeconds + wanted->frameSeconds)
            return QCoreApplication::translate(
                       "OutputVerification",
                       "The sound of the converted file ends %1 s early: part of it went missing.")
                .arg(missing, 0, 'f', 2);
    }
    return {};
}

} // namespace

ExpectedOutput expectedOutput(const QStringList& arguments, bool addedSurround,
                              std::optional<qint64> runtimeSeconds,
                              const QHash<int, double>& streamSeconds, int furtherAudioTracks,
                              const MappedSource& source)
{
    ExpectedOutput e;
    QStringList maps;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
        if (arguments.at(i) == QLatin1String("-map"))
            maps.append(arguments.at(i + 1));
    e.audioTracks =
        source.withoutAudio ? 0 : (addedSurround ? 2 : 1) + std::max(0, furtherAudioTracks);
    e.subtitleTracks = std::max(0, int(maps.size()) - 1 - e.audioTracks);
    if (runtimeSeconds && *runtimeSeconds > 0)
        e.runtimeSeconds = double(*runtimeSeconds);
    // The source stream of each mapped video and audio track: the movie's
    // own ("0:N"), or the chosen track for the mux stage's new AAC ("1:0").
    QList<std::optional<int>> streams;
    for (qsizetype i = 0; i < maps.size() && i <= e.audioTracks; ++i) {
        const QString& map = maps.at(i);
        bool ok = false;
        const int stream = map.startsWith(QLatin1String("0:")) ? map.mid(2).toInt(&ok) : -1;
        if (ok)
            streams.append(stream);
        else if (i > 0 && map == QLatin1String("1:0") && source.encodedAudioStream)
            streams.append(source.encodedAudioStream);
        else
            streams.append(std::nullopt);
    }
    const auto startOf = [&source](const std::optional<int>& stream) -> std::optional<double> {
        if (!stream || !source.inputStart || !source.streamStarts.contains(*stream))
            return std::nullopt;
        return source.streamStarts.value(*stream) - *source.inputStart;
    };
    if (!streams.isEmpty())
        e.videoStart = startOf(streams.first());
    const auto spanOf =
        [&source](const std::optional<int>& stream) -> std::optional<ExpectedOutput::Span> {
        if (!stream || !source.streamStarts.contains(*stream) ||
            !source.streamEnds.contains(*stream))
            return std::nullopt;
        const StreamEnd end = source.streamEnds.value(*stream);
        const double seconds = end.seconds - source.streamStarts.value(*stream);
        // A clock that jumps (a joined recording) tells nothing of the length.
        if (!(seconds > 0))
            return std::nullopt;
        return ExpectedOutput::Span{seconds, end.frameSeconds};
    };
    for (qsizetype i = 1; i < streams.size(); ++i) {
        e.audioStarts.append(startOf(streams.at(i)));
        e.audioSpans.append(spanOf(streams.at(i)));
    }
    // The length is that of the longest mapped video or audio stream; the
    // video's own length must be known for the per-stream figures to count.
    std::optional<double> mapped;
    for (qsizetype i = 0; i < streams.size(); ++i) {
        const double seconds = streams.at(i) ? streamSeconds.value(*streams.at(i), 0) : 0;
        if (seconds > 0) {
            mapped = std::max(mapped.value_or(0), seconds);
        } else if (i == 0) {
            mapped.reset();
            break;
        }
    }
    if (mapped)
        e.runtimeSeconds = mapped;
    // A span longer than the movie comes from a clock that jumps (a joined
    // recording), not from the sound: it tells nothing.
    if (e.runtimeSeconds)
        for (std::optional<ExpectedOutput::Span>& span : e.audioSpans)
            if (span && span->seconds > *e.runtimeSeconds + toleranceFor(*e.runtimeSeconds))
                span.reset();
    return e;
}

QString outputProblem(const ExpectedOutput& expected, const std::optional<WrittenMovie>& written)
{
    if (!written)
        return QCoreApplication::translate(
            "OutputVerification", "The converted file cannot be read back as an MP4 file.");
    using Kind = WrittenTrack::Kind;
    const auto video = std::find_if(written->tracks.begin(), written->tracks.end(),
                                    [](const WrittenTrack& t) { return t.kind == Kind::Video; });
    // ffmpeg leaves a mapped stream that got no packet out of the file, so a
    // missing track and an empty one are the same fault.
    if (video == written->tracks.end() || video->samples == 0)
        return QCoreApplication::translate("OutputVerification",
                                           "The converted file has no video frames.");
    const int audio = countOf(*written, Kind::Audio);
    if (expected.audioTracks == 0 && audio == 0)
        return lengthProblem(expected, *written);
    if (audio < expected.audioTracks)
        return audio == 0 ? QCoreApplication::translate("OutputVerification",
                                                        "The converted file has no audio track.")
                          : QCoreApplication::translate("OutputVerification",
                                                        "The converted file has %1 instead of %2.")
                                .arg(audioTracksText(audio))
                                .arg(expected.audioTracks);
    for (const WrittenTrack& t : written->tracks)
        if (t.kind == Kind::Audio && t.samples == 0)
            return QCoreApplication::translate(
                "OutputVerification", "The converted file has an audio track without sound.");
    if (const QString sync = syncProblem(expected, *written, video->startSeconds); !sync.isEmpty())
        return sync;
    if (const QString length = lengthProblem(expected, *written); !length.isEmpty())
        return length;
    return spanProblem(expected, *written);
}

bool saysInputEndedEarly(const QString& toolOutput)
{
    static const QStringList phrases{
        QStringLiteral("File ended prematurely"), QStringLiteral("partial file"),
        QStringLiteral("Truncating packet"), QStringLiteral("end of file reached prematurely")};
    return containsAny(toolOutput, phrases);
}

double playedSeconds(const WrittenMovie& written)
{
    // The movie lasts as long as its pictures and sound; a subtitle cue past
    // the end does not make it longer.
    double seconds = 0;
    for (const WrittenTrack& t : written.tracks)
        if (t.kind == WrittenTrack::Kind::Video || t.kind == WrittenTrack::Kind::Audio)
            seconds = std::max(seconds, t.seconds);
    return seconds > 0 ? seconds : written.seconds;
}

QString truncationWarning(const QString& name, double writtenSeconds,
                          std::optional<double> runtimeSeconds)
{
    if (!runtimeSeconds || !(writtenSeconds < *runtimeSeconds - toleranceFor(*runtimeSeconds)))
        return {};
    return makeString(QCoreApplication::translate("OutputVerification",
                                                  "Warning: '%@' ends after %@ of its %@; the MP4 "
                                                  "holds all of it that could be read."),
                      name, clockText(writtenSeconds), clockText(*runtimeSeconds));
}

std::optional<WrittenMovie> readWrittenMovie(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const mp4::ReadAt read = readAtFile(file);
    const auto summary = mp4::readMovieSummary(read, std::uint64_t(file.size()));
    if (!summary)
        return std::nullopt;
    WrittenMovie movie;
    for (const mp4::TrackSummary& t : summary->tracks) {
        WrittenTrack track;
        track.kind = kindOf(t.handler);
        track.samples = t.sampleCount;
        if (summary->timescale > 0)
            track.startSeconds = double(t.emptyEditDuration) / summary->timescale;
        if (t.timescale > 0)
            track.seconds = double(t.duration) / t.timescale;
        track.spanSeconds = t.mediaEditDuration && summary->timescale > 0
                                ? double(*t.mediaEditDuration) / summary->timescale
                                : track.seconds;
        movie.seconds = std::max(movie.seconds, track.seconds);
        movie.tracks.append(track);
    }
    if (summary->timescale > 0)
        movie.seconds = std::max(movie.seconds, double(summary->duration) / summary->timescale);
    return movie;
}
