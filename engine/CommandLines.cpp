#include "engine/CommandLines.h"

#include "engine/JobState.h"
#include "engine/KeptTracks.h"
#include "engine/MovieMetadata.h"
#include "engine/StreamArguments.h"
#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"

#include <cmath>
#include <optional>

namespace {

// The video copied: ffmpeg writes copied HEVC with the "hev1" sample entry,
// which Apple's players refuse; "hvc1" carries the same stream. ffmpeg 5.1
// refuses the Dolby Vision sample entries, so this holds for those streams
// too (a profile 5 stream gets "dvh1" in place once written). ffmpeg 5.1
// writes the Dolby Vision configuration box (dvcC, dvvC) only when told to
// be unofficial; without it a profile 8 movie falls back to HDR10 and a
// profile 5 movie, which has no HDR10 base, plays in wrong colours.
QStringList copiedVideo(const ConversionInputs& in)
{
    QStringList codec{QStringLiteral("-vcodec"), QStringLiteral("copy")};
    if (in.videoCodec == QLatin1String("hevc"))
        // Of the movie's video alone where a cover picture is the second.
        codec << (in.coverStream || !in.coverFile.isEmpty() ? QStringLiteral("-tag:v:0")
                                                            : QStringLiteral("-tag:v"))
              << QStringLiteral("hvc1");
    if (in.dolbyVisionProfile)
        codec << QStringLiteral("-strict") << QStringLiteral("unofficial");
    // DivX 5 and Xvid in AVI pack two frames into one chunk ("packed
    // B-frames"), which an MP4 cannot carry; the filter passes other MPEG-4
    // Part 2 streams through unchanged.
    if (in.videoCodec == QLatin1String("mpeg4"))
        codec << QStringLiteral("-bsf:v:0") << QStringLiteral("mpeg4_unpack_bframes");
    return codec;
}

// The output: an ".m4v" name makes ffmpeg pick its iPod muxer, which knows
// no HEVC and fails; the MP4 muxer writes the same file for it.
void setMovieOutput(FfmpegCommand& command, const ConversionInputs& in, const QString& path)
{
    if (in.videoCodec == QLatin1String("hevc") &&
        path.endsWith(QLatin1String(".m4v"), Qt::CaseInsensitive))
        command.addOutputOption({QStringLiteral("-f"), QStringLiteral("mp4")});
    command.setOutputPath(path);
}

// The beginning of every run that writes the movie: the source and the
// statistics ffmpeg prints as it goes.
FfmpegCommand movieCommand(const ConversionInputs& in)
{
    FfmpegCommand command;
    command.addInput(in.sourcePath);
    command.addGlobal({QStringLiteral("-stats")});
    command.addMap(streamSpecifier(in.videoTrackID));
    return command;
}

// The reports of a run that writes the movie.
void addReports(FfmpegCommand& command, const ConversionInputs& in)
{
    command.setProgressFile(in.progressFile);
    command.addOutputOption(
        {QStringLiteral("-loglevel"), QStringLiteral("warning"), QStringLiteral("-y")});
}

// ffmpeg copies a language tagged by name ("English"), which the MP4 cannot
// store ("und" is written instead): such audio streams get their code.
void addNamedAudioLanguages(FfmpegCommand& command, const ConversionInputs& in,
                            const std::optional<SurroundTrack>& surround)
{
    const AudioTrack chosen = chosenAudioTrack(in);
    QStringList entries;
    if (in.nameTaggedStreams.contains(chosen.streamIndex))
        entries += languageMetadata("a", 0, chosen.language);
    if (surround && in.nameTaggedStreams.contains(surround->stream)) {
        for (const AudioTrack& track : in.audioTracks) {
            if (track.streamIndex == surround->stream) {
                entries += languageMetadata("a", 1, track.language);
                break;
            }
        }
    }
    command.addStreamOptions(entries);
}

BuiltArguments built(const FfmpegCommand& command, bool addedSurround, int furtherAudioTracks)
{
    BuiltArguments b;
    b.command = command;
    b.arguments = command.render();
    b.addedSurround = addedSurround;
    b.furtherAudioTracks = furtherAudioTracks;
    return b;
}

} // namespace

AudioTrack chosenAudioTrack(const ConversionInputs& in)
{
    return in.audioTracks.value(in.audioTrackIndex);
}

QStringList fixupTestArguments(const ConversionInputs& in, const QString& trialFile)
{
    const int audio = chosenAudioTrack(in).streamIndex;
    FfmpegCommand command;
    command.addInput(in.sourcePath);
    command.addGlobal({QStringLiteral("-stats"), QStringLiteral("-t"), QStringLiteral("1")});
    command.addMaps({streamSpecifier(in.videoTrackID), streamSpecifier(audio)});
    command.addCodec(copiedVideo(in) +
                     QStringList{QStringLiteral("-acodec"), QStringLiteral("copy")});
    command.addOutputOption({QStringLiteral("-y")});
    setMovieOutput(command, in, trialFile);
    return command.render();
}

BuiltArguments singleProcessArguments(const ConversionInputs& in, int method,
                                      const ConversionSettings& s,
                                      const std::function<bool()>& needFixup)
{
    FfmpegCommand command = movieCommand(in);
    const QStringList subtitleCodec{QStringLiteral("-scodec"), QStringLiteral("mov_text")};
    if (in.audioTracks.isEmpty()) {
        // A movie without sound (a screen capture, a time-lapse): the video
        // and the subtitles only.
        const int subtitles = addSubtitles(command, in, s);
        command.addCodec(subtitleCodec + copiedVideo(in));
        addDefaultDispositions(command, in, s, -1, subtitles);
        addCoverAndTags(command, in, s);
        addReports(command, in);
        setMovieOutput(command, in, in.outputPath);
        return built(command, false, 0);
    }

    const AudioTrack audio = chosenAudioTrack(in);
    const bool copy = method == MethodCopy;
    command.addMap(streamSpecifier(audio.streamIndex));
    if (copy && audio.codec == QLatin1String("aac") && needFixup && needFixup())
        // On the main audio only: a copied AC3 surround track would refuse it.
        command.addBitstreamFilter({QStringLiteral("-bsf:a:0"), QStringLiteral("aac_adtstoasc")});
    command.addCodec(subtitleCodec + copiedVideo(in) +
                     QStringList{QStringLiteral("-acodec"),
                                 copy ? QStringLiteral("copy") : QStringLiteral("ac3")});
    if (method == MethodAC3Surround)
        command.addStreamOptions(QStringList{QStringLiteral("-ac"), QStringLiteral("6"),
                                             QStringLiteral("-ab"),
                                             ac3SurroundBitrateText(s.ac3SurroundBitrate)} +
                                 gapFillingFor(0));
    else if (method == MethodAC3Stereo)
        command.addStreamOptions(QStringList{QStringLiteral("-ac"), QStringLiteral("2"),
                                             QStringLiteral("-ab"),
                                             ac3StereoBitrateText(s.ac3StereoBitrate)} +
                                 gapFillingFor(0));

    const bool surround = copy && addSurroundTrack(command, in, s);
    const int further = addFurtherAudioTracks(command, surround ? 2 : 1, in, s);
    const int subtitles = addSubtitles(command, in, s);
    addNamedAudioLanguages(command, in, surround ? surroundTrackFor(in, s) : std::nullopt);
    addAudioTitles(command, in, surround, s);
    addDefaultDispositions(command, in, s, int(surround) + further, subtitles);
    addCoverAndTags(command, in, s);
    addReports(command, in);
    setMovieOutput(command, in, in.outputPath);
    return built(command, surround, further);
}

QStringList extractionArguments(const ConversionInputs& in, const QString& audioFile)
{
    FfmpegCommand command;
    command.addInput(in.sourcePath);
    command.addGlobal({QStringLiteral("-stats")});
    command.addMap(streamSpecifier(chosenAudioTrack(in).streamIndex));
    command.addCodec({QStringLiteral("-acodec"), QStringLiteral("pcm_f32le"), QStringLiteral("-ac"),
                      QStringLiteral("2"), QStringLiteral("-af"), kGapFilling});
    command.addOutputOption({QStringLiteral("-loglevel"), QStringLiteral("warning"),
                             QStringLiteral("-y"), QStringLiteral("-flush_packets"),
                             QStringLiteral("0"), QStringLiteral("-f"), QStringLiteral("wav")});
    command.setOutputPath(audioFile);
    return command.render();
}

QStringList afconvertArguments(const QString& audioFile, const QString& aacFile,
                               const ConversionSettings& s, std::optional<qint64> expectedSeconds)
{
    QStringList arguments{audioFile,
                          QStringLiteral("-o"),
                          aacFile,
                          QStringLiteral("-f"),
                          QStringLiteral("adts"),
                          QStringLiteral("-d"),
                          QStringLiteral("aac")};
    if (expectedSeconds && *expectedSeconds > 0)
        arguments << QStringLiteral("-e") << QString::number(*expectedSeconds);
    arguments << QStringLiteral("-b") << aacBitrateText(s.aacBitrate);
    return arguments;
}

std::optional<double> encodedAudioOffset(const ConversionInputs& in)
{
    if (in.audioTracks.isEmpty())
        return std::nullopt;
    const int stream = chosenAudioTrack(in).streamIndex;
    const StreamTimings& t = in.timings;
    double delay = 0;
    if (t.inputStart && t.starts.contains(stream))
        delay = t.starts.value(stream) - *t.inputStart;
    // Below a millisecond the track starts with the movie.
    if (delay < 0.001)
        delay = 0;
    const int rate = t.sampleRates.value(stream, 0);
    const double offset = delay - (rate > 0 ? 1024.0 / rate : 0.0);
    if (std::fabs(offset) < 1e-6)
        return std::nullopt;
    return offset;
}

BuiltArguments muxArguments(const ConversionInputs& in, const QString& aacFile,
                            const ConversionSettings& s)
{
    FfmpegCommand command;
    command.addInput(in.sourcePath);
    // The AAC comes through a FIFO as the encoder makes it, as ADTS, which
    // ffmpeg is told since the name says nothing; a deep packet queue keeps
    // the encoder from waiting on the mux.
    QStringList aacInput{QStringLiteral("-thread_queue_size"), QStringLiteral("1024"),
                         QStringLiteral("-f"), QStringLiteral("aac")};
    if (const auto offset = encodedAudioOffset(in))
        aacInput += {QStringLiteral("-itsoffset"), QString::number(*offset, 'f', 6)};
    const int aac = command.addInput(aacFile, aacInput);
    command.addGlobal({QStringLiteral("-stats")});
    command.addMaps({streamSpecifier(in.videoTrackID), makeString("%i:0", aac)});
    command.addCodec(QStringList{QStringLiteral("-scodec"), QStringLiteral("mov_text")} +
                     copiedVideo(in) +
                     QStringList{QStringLiteral("-acodec"), QStringLiteral("copy")});

    const bool surround = addSurroundTrack(command, in, s);
    const int further = addFurtherAudioTracks(command, surround ? 2 : 1, in, s);
    const int subtitles = addSubtitles(command, in, s);
    addAudioTitles(command, in, surround, s);
    addDefaultDispositions(command, in, s, int(surround) + further, subtitles);
    addCoverAndTags(command, in, s);
    addReports(command, in);

    QString language = writtenLanguage(chosenAudioTrack(in).language);
    if (s.includeSurroundTrack != 0) {
        // Written as ISO 639-2/T codes ("deu", "fra"), not the bibliographic ones.
        if (s.includeSurroundTrackDisabled != 0)
            language = stringByReplacingMultipleStrings(
                language, {{QStringLiteral("ger"), QStringLiteral("deu")},
                           {QStringLiteral("fre"), QStringLiteral("fra")}});
        command.addAfterProgress(
            {QStringLiteral("-metadata:s:a:0"), makeString("language=%@", language)});
        // Without a surround track the second audio track is a further one,
        // which has its own language.
        if (surround || furtherAudioTracks(in, s).isEmpty())
            command.addAfterProgress(
                {QStringLiteral("-metadata:s:a:1"), makeString("language=%@", language)});
    } else {
        command.addAfterProgress(
            {QStringLiteral("-metadata:s:a:0"), makeString("language=%@", language)});
    }
    setMovieOutput(command, in, in.outputPath);
    return built(command, surround, further);
}
