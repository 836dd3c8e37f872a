#include "engine/MoovReserve.h"

#include "inspection/MKVFileInfo.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Worst-case bytes each sample costs in the sample tables: its size (stsz),
// its own chunk (a 64-bit offset in co64 and a samples-per-chunk entry in
// stsc), for video also a duration (stts: Matroska's millisecond timestamps
// rarely give equal frame durations), a composition offset (ctts, B-frames),
// a sync entry (stss) and a dependency byte (sdtp); for subtitles a duration
// (ffmpeg writes an empty sample between cues). Audio keeps one duration.
constexpr double kChunkBytes = 8 + 12;
constexpr qint64 kCoverAllowanceBytes = 1024 * 1024;
constexpr double kVideoSampleBytes = 4 + 8 + 8 + 4 + 1 + kChunkBytes;
constexpr double kAudioSampleBytes = 4 + kChunkBytes;
constexpr double kSubtitleSampleBytes = 4 + 8 + kChunkBytes;
constexpr double kSubtitleSamplesPerSecond = 2;
// Sample descriptions (with Dolby Vision and HDR configuration), edit
// lists, names and the like, per track and for the movie.
constexpr double kTrackFixedBytes = 8 * 1024;
constexpr double kMovieFixedBytes = 16 * 1024;
constexpr double kMargin = 1.2;
constexpr double kMarginBytes = 64 * 1024;
constexpr int kUnknownSampleRate = 96000;

// "0:3" (or "0:3?") as input 0, stream 3; absent for other forms ("0:a").
std::optional<std::pair<int, int>> parseMap(QString specifier)
{
    if (specifier.endsWith(u'?'))
        specifier.chop(1);
    const QStringList parts = specifier.split(u':');
    if (parts.size() != 2)
        return std::nullopt;
    bool okInput = false, okStream = false;
    const int input = parts[0].toInt(&okInput);
    const int stream = parts[1].toInt(&okStream);
    if (!okInput || !okStream || input < 0 || stream < 0)
        return std::nullopt;
    return std::pair{input, stream};
}

// The audio codec asked for output audio track `n`, empty when none is.
QString askedAudioCodec(const QStringList& args, int n)
{
    QString all, own;
    const QString ownOption = QStringLiteral(":a:%1").arg(n);
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("-acodec") || a == QLatin1String("-c:a") ||
            a == QLatin1String("-codec:a"))
            all = args.at(i + 1);
        else if ((a.startsWith(QLatin1String("-c:")) || a.startsWith(QLatin1String("-codec:"))) &&
                 a.endsWith(ownOption) && a.count(u':') == 2)
            own = args.at(i + 1);
    }
    return own.isEmpty() ? all : own;
}

} // namespace

double audioFramesPerSecond(const MoovAudioTrack& track)
{
    const QString& c = track.codec;
    double samplesPerFrame = 1024;
    if (c.contains(QLatin1String("ac3")))
        samplesPerFrame = 1536;
    else if (c.contains(QLatin1String("mp3")))
        samplesPerFrame = 1152;
    else if (c.startsWith(QLatin1String("dts")) || c.startsWith(QLatin1String("dca")))
        samplesPerFrame = 512;
    else if (c.contains(QLatin1String("opus")))
        samplesPerFrame = 960;
    const int rate = track.sampleRate > 0 ? track.sampleRate : kUnknownSampleRate;
    return rate / samplesPerFrame;
}

std::optional<qint64> moovReserveBytes(const MoovEstimateInputs& in)
{
    if (!in.durationSeconds || !std::isfinite(*in.durationSeconds) || *in.durationSeconds < 0)
        return std::nullopt;
    if (in.hasVideo && (!in.videoFrameRate || !(*in.videoFrameRate > 0)))
        return std::nullopt;
    // Whole seconds may be rounded down, and the last samples may run on.
    const double seconds = std::ceil(*in.durationSeconds) + 1;
    double bytes = kMovieFixedBytes;
    if (in.hasVideo)
        bytes += kTrackFixedBytes + seconds * *in.videoFrameRate * kVideoSampleBytes;
    for (const MoovAudioTrack& track : in.audioTracks)
        bytes += kTrackFixedBytes + seconds * audioFramesPerSecond(track) * kAudioSampleBytes;
    bytes += in.subtitleTracks *
             (kTrackFixedBytes + seconds * kSubtitleSamplesPerSecond * kSubtitleSampleBytes);
    bytes += double(in.coverBytes);
    const double reserve = std::ceil(bytes * kMargin + kMarginBytes);
    if (!std::isfinite(reserve) || reserve > double(INT_MAX))
        return std::nullopt;
    return qint64(reserve);
}

MoovEstimateInputs moovEstimateInputs(const QStringList& arguments, const MKVFileInfo& info,
                                      const QString& encodedAudioFile, int encodedAudioRate)
{
    MoovEstimateInputs in;
    std::optional<double> duration;
    if (info.runtimeSeconds())
        duration = double(*info.runtimeSeconds());
    for (const double s : info.streamSeconds())
        duration = std::max(duration.value_or(0.0), s);
    in.durationSeconds = duration;

    QHash<int, QString> sourceAudio; // stream -> codec word
    for (const AudioTrack& a : info.audioTracks())
        sourceAudio.insert(a.streamIndex, a.codec);
    const StreamTimings& timings = info.streamTimings();
    QStringList inputs;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
        if (arguments.at(i) == QLatin1String("-i"))
            inputs.append(arguments.at(i + 1));

    const auto addAudio = [&](int rate, const QString& sourceCodec) {
        const QString asked = askedAudioCodec(arguments, int(in.audioTracks.size()));
        const QString codec =
            asked.isEmpty() || asked == QLatin1String("copy") ? sourceCodec : asked;
        in.audioTracks.append({rate, codec});
    };
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) != QLatin1String("-map"))
            continue;
        const auto map = parseMap(arguments.at(i + 1));
        if (!map) {
            for (auto a = sourceAudio.cbegin(); a != sourceAudio.cend(); ++a)
                addAudio(timings.sampleRates.value(a.key()), a.value());
            in.subtitleTracks += int(info.subtitleTrackIDs().size());
            continue;
        }
        const auto [input, stream] = *map;
        if (input > 0) {
            if (!encodedAudioFile.isEmpty() && inputs.value(input) == encodedAudioFile)
                addAudio(encodedAudioRate, QStringLiteral("aac"));
            else if (!info.coverFile().isEmpty() && inputs.value(input) == info.coverFile())
                in.coverBytes += QFileInfo(info.coverFile()).size();
            else
                ++in.subtitleTracks;
        } else if (std::any_of(info.attachedPictures().cbegin(), info.attachedPictures().cend(),
                               [stream = stream](const AttachedPicture& p) {
                                   return p.stream == stream;
                               })) {
            // The listing does not say how large an attached picture is;
            // covers are rarely larger, and a reserve too small is only
            // written again.
            in.coverBytes += kCoverAllowanceBytes;
        } else if (info.videoTrackID() == stream) {
            in.hasVideo = true;
            if (timings.frameRates.contains(stream))
                in.videoFrameRate = timings.frameRates.value(stream);
        } else if (info.subtitleTrackIDs().contains(stream)) {
            ++in.subtitleTracks;
        } else {
            // Audio, or a stream the probe did not list: counted as audio
            // of unknown rate, more samples than a subtitle has.
            addAudio(timings.sampleRates.value(stream), sourceAudio.value(stream));
        }
    }
    return in;
}
