#include "engine/OutputVerification.h"

#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"
#include "mp4box/Mp4Boxes.h"

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

QString tracksText(int n, const char* what)
{
    return n == 1 ? makeString("1 %s track", what) : makeString("%i %s tracks", n, what);
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

} // namespace

ExpectedOutput expectedOutput(const QStringList& arguments, bool addedSurround,
                              std::optional<qint64> runtimeSeconds,
                              const QHash<int, double>& streamSeconds, int furtherAudioTracks)
{
    ExpectedOutput e;
    QStringList maps;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
        if (arguments.at(i) == QLatin1String("-map"))
            maps.append(arguments.at(i + 1));
    e.audioTracks = (addedSurround ? 2 : 1) + std::max(0, furtherAudioTracks);
    e.subtitleTracks = std::max(0, int(maps.size()) - 1 - e.audioTracks);
    if (runtimeSeconds && *runtimeSeconds > 0)
        e.runtimeSeconds = double(*runtimeSeconds);
    // The mapped video and audio of the movie itself ("0:N"); the video's
    // own length must be known for the per-stream figures to count.
    std::optional<double> mapped;
    for (qsizetype i = 0; i < maps.size() && i <= e.audioTracks; ++i) {
        const QString& map = maps.at(i);
        bool ok = false;
        const int stream = map.startsWith(QLatin1String("0:")) ? map.mid(2).toInt(&ok) : -1;
        const double seconds = ok ? streamSeconds.value(stream, 0) : 0;
        if (seconds > 0)
            mapped = std::max(mapped.value_or(0), seconds);
        else if (i == 0)
            return e;
    }
    if (mapped)
        e.runtimeSeconds = mapped;
    return e;
}

QString outputProblem(const ExpectedOutput& expected, const std::optional<WrittenMovie>& written)
{
    if (!written)
        return QStringLiteral("The converted file cannot be read back as an MP4 file.");
    using Kind = WrittenTrack::Kind;
    const auto video = std::find_if(written->tracks.begin(), written->tracks.end(),
                                    [](const WrittenTrack& t) { return t.kind == Kind::Video; });
    // ffmpeg leaves a mapped stream that got no packet out of the file, so a
    // missing track and an empty one are the same fault.
    if (video == written->tracks.end() || video->samples == 0)
        return QStringLiteral("The converted file has no video frames.");
    const int audio = countOf(*written, Kind::Audio);
    if (audio < expected.audioTracks)
        return audio == 0 ? QStringLiteral("The converted file has no audio track.")
                          : makeString("The converted file has %@ instead of %i.",
                                       tracksText(audio, "audio"), expected.audioTracks);
    for (const WrittenTrack& t : written->tracks)
        if (t.kind == Kind::Audio && t.samples == 0)
            return QStringLiteral("The converted file has an audio track without sound.");
    if (expected.runtimeSeconds) {
        const double runtime = *expected.runtimeSeconds;
        const double tolerance = std::max(kToleranceSeconds, runtime * kToleranceShare);
        // The movie lasts as long as its pictures and sound; a subtitle cue
        // past the end does not make it longer.
        double seconds = 0;
        for (const WrittenTrack& t : written->tracks)
            if (t.kind == Kind::Video || t.kind == Kind::Audio)
                seconds = std::max(seconds, t.seconds);
        if (!(seconds > 0))
            seconds = written->seconds;
        if (!(std::fabs(seconds - runtime) <= tolerance))
            return makeString("The converted file lasts %@ instead of the movie's %@.",
                              formattedTimeFromTimeInterval(seconds),
                              formattedTimeFromTimeInterval(runtime));
    }
    return {};
}

std::optional<WrittenMovie> readWrittenMovie(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const mp4::ReadAt read = [&file](std::uint64_t offset, std::uint8_t* dest, std::size_t count) {
        if (!file.seek(qint64(offset)))
            return std::size_t(0);
        const qint64 got = file.read(reinterpret_cast<char*>(dest), qint64(count));
        return got < 0 ? std::size_t(0) : std::size_t(got);
    };
    const auto summary = mp4::readMovieSummary(read, std::uint64_t(file.size()));
    if (!summary)
        return std::nullopt;
    WrittenMovie movie;
    for (const mp4::TrackSummary& t : summary->tracks) {
        WrittenTrack track;
        track.kind = kindOf(t.handler);
        track.samples = t.sampleCount;
        if (t.timescale > 0)
            track.seconds = double(t.duration) / t.timescale;
        movie.seconds = std::max(movie.seconds, track.seconds);
        movie.tracks.append(track);
    }
    if (summary->timescale > 0)
        movie.seconds = std::max(movie.seconds, double(summary->duration) / summary->timescale);
    return movie;
}
