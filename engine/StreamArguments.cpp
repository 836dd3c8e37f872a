#include "engine/StreamArguments.h"

#include "engine/KeptTracks.h"
#include "engine/SubtitleTracks.h"
#include "foundation/Alerts.h"
#include "foundation/MakeString.h"
#include "inspection/AudioTrackChoice.h"

#include <algorithm>

QString streamSpecifier(int stream)
{
    return makeString("0:%i", stream);
}

QString writtenLanguage(const QString& language)
{
    return language.isEmpty() || language == QLatin1String("unk") ? QStringLiteral("und")
                                                                  : language;
}

QStringList languageMetadata(const char* kind, int index, const QString& language)
{
    return {makeString("-metadata:s:%s:%i", kind, index),
            makeString("language=%@", writtenLanguage(language))};
}

QStringList titleMetadata(const char* kind, int index, const QString& title)
{
    if (title.isEmpty())
        return {};
    return {makeString("-metadata:s:%s:%i", kind, index), QStringLiteral("title="),
            makeString("-metadata:s:%s:%i", kind, index), makeString("handler_name=%@", title)};
}

QStringList gapFillingFor(int outputAudioIndex)
{
    return {makeString("-filter:a:%i", outputAudioIndex), kGapFilling};
}

std::optional<SurroundTrack> surroundTrackFor(const ConversionInputs& in,
                                              const ConversionSettings& s)
{
    if (s.conversionPreset != 0 || s.includeSurroundTrack == 0)
        return std::nullopt;
    const AudioTrack chosen = chosenAudioTrack(in);
    if (chosen.isSurround() && chosen.codec != QLatin1String("ac3") &&
        chosen.codec != QLatin1String("dts"))
        // A 5.1 or 7.1 track in another codec is its own surround track.
        return SurroundTrack{chosen.streamIndex, chosen.codec};
    for (const QString& wanted : {QStringLiteral("ac3"), QStringLiteral("dts")}) {
        for (const AudioTrack& t : in.audioTracks) {
            if (t.isSurround() && t.language == chosen.language && t.codec == wanted)
                return SurroundTrack{t.streamIndex, wanted};
        }
    }
    // Then a surround track in any other codec (TrueHD, FLAC, LPCM of a
    // Blu-ray), which becomes AC3 5.1.
    for (const AudioTrack& t : in.audioTracks) {
        if (t.isSurround() && t.language == chosen.language)
            return SurroundTrack{t.streamIndex, t.codec};
    }
    return std::nullopt;
}

bool surroundNeedsAC3(const QString& codec, const ConversionSettings& s)
{
    if (codec == QLatin1String("dts"))
        return s.includeSurroundTrackTranscoded != 0;
    // What an MP4 cannot carry (TrueHD, FLAC, PCM, …) becomes AC3 5.1, a
    // 7.1 track downmixed with ffmpeg's standard matrix.
    return !mp4HoldsCodec(codec);
}

bool addSurroundTrack(FfmpegCommand& command, const ConversionInputs& in,
                      const ConversionSettings& s)
{
    const std::optional<SurroundTrack> surround = surroundTrackFor(in, s);
    if (!surround)
        return false;
    command.addMap(streamSpecifier(surround->stream));
    if (surroundNeedsAC3(surround->codec, s))
        command.addStreamOptions(QStringList{QStringLiteral("-c:a:1"), QStringLiteral("ac3"),
                                             QStringLiteral("-ac"), QStringLiteral("6"),
                                             QStringLiteral("-ab"),
                                             ac3SurroundBitrateText(s.ac3SurroundBitrate)} +
                                 gapFillingFor(1));
    return true;
}

int addFurtherAudioTracks(FfmpegCommand& command, int firstIndex, const ConversionInputs& in,
                          const ConversionSettings& s)
{
    const QList<FurtherAudioTrack> tracks = furtherAudioTracks(in, s);
    QStringList options;
    int index = firstIndex;
    for (const FurtherAudioTrack& t : tracks) {
        command.addMap(streamSpecifier(t.stream));
        // After the list's own audio options, so these win for this track.
        const QString codec = makeString("-c:a:%i", index);
        if (t.copied)
            options << codec << QStringLiteral("copy");
        else
            options << codec << QStringLiteral("aac") << makeString("-ac:a:%i", index)
                    << QStringLiteral("2") << makeString("-b:a:%i", index)
                    << aacBitrateText(s.aacBitrate) << gapFillingFor(index);
        options += languageMetadata("a", index, t.language);
        options += titleMetadata("a", index, t.title);
        ++index;
    }
    command.addStreamOptions(options);
    return int(tracks.size());
}

void addAudioTitles(FfmpegCommand& command, const ConversionInputs& in, bool addedSurround,
                    const ConversionSettings& s)
{
    QStringList entries =
        titleMetadata("a", 0, in.timings.titles.value(chosenAudioTrack(in).streamIndex));
    if (addedSurround)
        if (const auto surround = surroundTrackFor(in, s))
            entries += titleMetadata("a", 1, in.timings.titles.value(surround->stream));
    command.addStreamOptions(entries);
}

int addSubtitles(FfmpegCommand& command, const ConversionInputs& in, const ConversionSettings& s)
{
    const QList<int> streams = mappedSubtitleStreams(in, s);
    // Output subtitle tracks: the subtitle files first, then the embedded
    // ones last-first. A language read from a name gets its code; a title
    // is given to the readers that look for the handler name.
    QStringList metadata;
    const int offset = int(in.subtitleFiles.size());
    for (qsizetype j = 0; j < streams.size(); ++j) {
        const int track = offset + int(streams.size() - 1 - j);
        if (in.nameTaggedStreams.contains(streams.at(j))) {
            const qsizetype position = in.subtitleTrackIDs.indexOf(streams.at(j));
            metadata += languageMetadata("s", track, in.subtitleTrackLanguages.value(position));
        }
        metadata += titleMetadata("s", track, in.timings.titles.value(streams.at(j)));
    }
    // The files: each the next input, with its encoding, when it has to be
    // named, right before its "-i"; mapped in order before the embedded
    // ones, with the language and kind their names say.
    for (int j = 0; j < offset; ++j) {
        const SubtitleFile& file = in.subtitleFiles.at(j);
        asl_NSLog(3, "Info: adding subtitles from file %@", file.path);
        const QString encoding = in.subtitleFileEncodings.value(j);
        const int input = command.addInput(
            file.path, encoding.isEmpty() ? QStringList()
                                          : QStringList{QStringLiteral("-sub_charenc"), encoding});
        command.addMap(makeString("%i:0", input));
        // A file whose name says no language is written "und" by itself.
        if (!file.language.isEmpty())
            metadata += languageMetadata("s", j, file.language);
        if (!file.title.isEmpty())
            metadata += titleMetadata("s", j, file.title);
        else if (file.sdh)
            metadata += titleMetadata("s", j, QStringLiteral("SDH"));
    }
    for (auto it = streams.crbegin(); it != streams.crend(); ++it)
        command.addMap(streamSpecifier(*it));
    command.addStreamOptions(metadata);
    return int(streams.size()) + offset;
}

void addDefaultDispositions(FfmpegCommand& command, const ConversionInputs& in,
                            const ConversionSettings& s, int others, int subtitles)
{
    QStringList entries;
    if (others >= 0)
        entries << QStringLiteral("-disposition:a:0") << QStringLiteral("default");
    for (int i = 1; i <= others; ++i)
        entries << makeString("-disposition:a:%i", i) << QStringLiteral("0");
    const std::optional<int> marked = enabledSubtitleTrack(in, subtitles);
    const QList<bool> forcedTracks = forcedSubtitleTracks(in, s);
    for (int i = 0; i < subtitles; ++i) {
        const bool forced = forcedTracks.value(i);
        if (subtitles < 2 && !forced)
            continue;
        QStringList flags;
        if (i == marked)
            flags << QStringLiteral("default");
        if (forced)
            flags << QStringLiteral("forced");
        entries << makeString("-disposition:s:%i", i)
                << (flags.isEmpty() ? QStringLiteral("0") : flags.join(u'+'));
    }
    command.addStreamOptions(entries);
}

std::optional<int> enabledSubtitleTrack(const ConversionInputs& in, int subtitleTracks)
{
    if (subtitleTracks <= 0)
        return std::nullopt;
    const QString audioLanguage = comparableLanguage(chosenAudioTrack(in).language);
    for (qsizetype j = 0; j < in.subtitleFiles.size() && j < subtitleTracks; ++j) {
        const SubtitleFile& file = in.subtitleFiles.at(j);
        if (file.forced && !in.audioTracks.isEmpty() && !isUntaggedLanguage(file.language) &&
            comparableLanguage(file.language) == audioLanguage)
            return int(j);
    }
    return in.subtitleFiles.isEmpty() ? subtitleTracks - 1 : 0;
}

QList<bool> forcedSubtitleTracks(const ConversionInputs& in, const ConversionSettings& s)
{
    QList<bool> forced;
    for (const SubtitleFile& file : in.subtitleFiles)
        forced.append(file.forced);
    // The movie's own streams follow, last-first as they are mapped.
    QList<int> streams = mappedSubtitleStreams(in, s);
    std::reverse(streams.begin(), streams.end());
    const QList<SubtitleTrack> tracks = subtitleTracksOf(in);
    for (const int stream : streams) {
        const auto track = std::find_if(tracks.begin(), tracks.end(), [stream](const auto& t) {
            return t.source == SubtitleTrack::Source::TextStream && t.stream == stream;
        });
        forced.append(track != tracks.end() && track->forced);
    }
    return forced;
}
