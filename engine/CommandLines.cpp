#include "engine/CommandLines.h"

#include "engine/AudioDescriptor.h"
#include "engine/JobState.h"
#include "engine/KeptTracks.h"
#include "engine/SubtitleTracks.h"
#include "foundation/Alerts.h"
#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"
#include "inspection/AudioTrackChoice.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QString chosenDescriptor(const ConversionInputs& in)
{
    return in.audioTracks.value(in.audioTrackIndex);
}

QString streamSpecifier(int stream)
{
    return makeString("0:%i", stream);
}

void insertAll(QStringList& args, qsizetype at, const QStringList& entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i)
        args.insert(at + i, entries[i]);
}

void insertBeforeProgress(QStringList& args, const QStringList& entries)
{
    qsizetype at = args.indexOf(QStringLiteral("-progress"));
    if (at < 0)
        at = args.size();
    insertAll(args, at, entries);
}

// ffmpeg 5.1's MP4 muxer enables only tracks whose stream is marked default,
// and as soon as two streams of one kind are marked default it gives every
// track an alternate group of its own, so players that honour groups would
// play both audio tracks at once. Only the main audio is marked default; the
// `others` audio tracks after it (surround, further tracks) join its group
// disabled, and the completion steps enable those that are to be offered.
// Of several subtitle tracks (Matroska muxers mark each one default) only
// one is marked (enabledSubtitleTrack), so they share one group. A forced
// track (forcedSubtitleTracks) is marked forced.
void addDefaultDispositions(QStringList& args, const ConversionInputs& in,
                            const ConversionSettings& s, int others, int subtitles)
{
    // `others` below 0: there is no audio track at all.
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
    insertBeforeProgress(args, entries);
}

// ffmpeg writes copied HEVC with the "hev1" sample entry, which Apple's
// players refuse; "hvc1" carries the same stream. ffmpeg 5.1 refuses the Dolby
// Vision sample entries, so this holds for those streams too (a profile 5
// stream gets "dvh1" in place once written). ffmpeg 5.1 writes the Dolby
// Vision configuration box (dvcC, dvvC) only when told to be unofficial;
// without it a profile 8 movie falls back to HDR10 and a profile 5 movie,
// which has no HDR10 base, plays in wrong colours.
void tagCopiedVideo(QStringList& args, const ConversionInputs& in)
{
    const qsizetype at = args.indexOf(QStringLiteral("-vcodec"));
    if (at < 0 || args.value(at + 1) != QLatin1String("copy"))
        return;
    QStringList entries;
    if (in.videoCodec == QLatin1String("hevc"))
        entries << QStringLiteral("-tag:v") << QStringLiteral("hvc1");
    if (in.dolbyVisionProfile)
        entries << QStringLiteral("-strict") << QStringLiteral("unofficial");
    insertAll(args, at + 2, entries);
}

// An ".m4v" name makes ffmpeg pick its iPod muxer, which knows no HEVC and
// fails; the MP4 muxer writes the same file for it.
void chooseMuxerForHevc(QStringList& args, const ConversionInputs& in)
{
    if (in.videoCodec == QLatin1String("hevc") && !args.isEmpty() &&
        args.last().endsWith(QLatin1String(".m4v"), Qt::CaseInsensitive))
        insertAll(args, args.size() - 1, {QStringLiteral("-f"), QStringLiteral("mp4")});
}

// A language as written into the MP4: a track without a tag is "und".
QString writtenLanguage(const QString& language)
{
    return language.isEmpty() || language == QLatin1String("unk") ? QStringLiteral("und")
                                                                  : language;
}

// A decoded sound track stays on the movie's time line: where the source
// lacks packets (a TV recording with dropped packets, a cut-and-joined
// file) the gap is filled with silence, so everything after it keeps its
// place. Without it the encoder would close the gap and all the sound after
// it would come early by its length. A track that starts late keeps its
// start (no first_pts): the mux places it.
const QString kGapFilling = QStringLiteral("aresample=async=1");

QStringList gapFillingFor(int outputAudioIndex)
{
    return {makeString("-filter:a:%i", outputAudioIndex), kGapFilling};
}

QStringList languageMetadata(const char* kind, int index, const QString& language)
{
    return {makeString("-metadata:s:%s:%i", kind, index),
            makeString("language=%@", writtenLanguage(language))};
}

// A track's name as players read it: ffmpeg's readers (and the players and
// media servers built on them) and mediainfo take the handler name. The
// title, which ffmpeg would copy into a "name" box of its own, is dropped:
// readers that see both show the name twice.
QStringList titleMetadata(const char* kind, int index, const QString& title)
{
    if (title.isEmpty())
        return {};
    return {makeString("-metadata:s:%s:%i", kind, index), QStringLiteral("title="),
            makeString("-metadata:s:%s:%i", kind, index), makeString("handler_name=%@", title)};
}

// The names of the main audio track and of the surround track, when the
// source gives them; the further tracks name themselves.
void addAudioTitles(QStringList& args, const ConversionInputs& in,
                    const std::optional<SurroundTrack>& surround)
{
    QStringList entries = titleMetadata(
        "a", 0, in.timings.titles.value(parseAudioDescriptor(chosenDescriptor(in)).streamIndex));
    if (surround)
        entries += titleMetadata("a", 1, in.timings.titles.value(surround->stream));
    if (!entries.isEmpty())
        insertBeforeProgress(args, entries);
}

// ffmpeg copies a language tagged by name ("English"), which the MP4 cannot
// store ("und" is written instead): such audio streams get their code.
void addNamedAudioLanguages(QStringList& args, const ConversionInputs& in,
                            const std::optional<SurroundTrack>& surround)
{
    const AudioDescriptor chosen = parseAudioDescriptor(chosenDescriptor(in));
    QStringList entries;
    if (in.nameTaggedStreams.contains(chosen.streamIndex))
        entries += languageMetadata("a", 0, chosen.language);
    if (surround && in.nameTaggedStreams.contains(surround->stream)) {
        for (const QString& d : in.audioTracks) {
            const AudioDescriptor track = parseAudioDescriptor(d);
            if (track.streamIndex == surround->stream) {
                entries += languageMetadata("a", 1, track.language);
                break;
            }
        }
    }
    if (!entries.isEmpty())
        insertBeforeProgress(args, entries);
}

} // namespace

QStringList fixupTestArguments(const ConversionInputs& in, const QString& trialFile)
{
    const int audio = parseAudioDescriptor(chosenDescriptor(in)).streamIndex;
    QStringList args = {QStringLiteral("-i"),
                        in.sourcePath,
                        QStringLiteral("-stats"),
                        QStringLiteral("-t"),
                        QStringLiteral("1"),
                        QStringLiteral("-map"),
                        streamSpecifier(in.videoTrackID),
                        QStringLiteral("-map"),
                        streamSpecifier(audio),
                        QStringLiteral("-vcodec"),
                        QStringLiteral("copy"),
                        QStringLiteral("-acodec"),
                        QStringLiteral("copy"),
                        QStringLiteral("-y"),
                        trialFile};
    tagCopiedVideo(args, in);
    chooseMuxerForHevc(args, in);
    return args;
}

BuiltArguments singleProcessArguments(const ConversionInputs& in, int method,
                                      const ConversionSettings& s,
                                      const std::function<bool()>& needFixup)
{
    const AudioDescriptor audio = parseAudioDescriptor(chosenDescriptor(in));
    const QString audioCodec =
        method == MethodCopy ? QStringLiteral("copy") : QStringLiteral("ac3");
    BuiltArguments built;
    QStringList& args = built.arguments;
    args = {QStringLiteral("-i"),
            in.sourcePath,
            QStringLiteral("-stats"),
            QStringLiteral("-map"),
            streamSpecifier(in.videoTrackID),
            QStringLiteral("-map"),
            streamSpecifier(audio.streamIndex),
            QStringLiteral("-scodec"),
            QStringLiteral("mov_text"),
            QStringLiteral("-vcodec"),
            QStringLiteral("copy"),
            QStringLiteral("-acodec"),
            audioCodec,
            QStringLiteral("-progress"),
            in.progressFile,
            QStringLiteral("-loglevel"),
            QStringLiteral("warning"),
            QStringLiteral("-y"),
            in.outputPath};

    if (audioCodec == QLatin1String("copy") && audio.codec == QLatin1String("aac") &&
        !in.audioTracks.isEmpty() && needFixup && needFixup())
        // On the main audio only: a copied AC3 surround track would refuse it.
        insertAll(args, 7, {QStringLiteral("-bsf:a:0"), QStringLiteral("aac_adtstoasc")});

    if (method == MethodAC3Surround)
        insertBeforeProgress(args, QStringList{QStringLiteral("-ac"), QStringLiteral("6"),
                                               QStringLiteral("-ab"),
                                               ac3SurroundBitrateText(s.ac3SurroundBitrate)} +
                                       gapFillingFor(0));
    else if (method == MethodAC3Stereo)
        insertBeforeProgress(args, QStringList{QStringLiteral("-ac"), QStringLiteral("2"),
                                               QStringLiteral("-ab"),
                                               ac3StereoBitrateText(s.ac3StereoBitrate)} +
                                       gapFillingFor(0));

    if (in.audioTracks.isEmpty()) {
        // A movie without sound (a screen capture, a time-lapse): the video
        // and the subtitles only.
        args.remove(args.indexOf(QStringLiteral("-acodec")), 2);
        args.remove(5, 2);
        int p = 5;
        const int subtitles = addSubtitles(args, 1, p, in, s);
        addDefaultDispositions(args, in, s, -1, subtitles);
        tagCopiedVideo(args, in);
        chooseMuxerForHevc(args, in);
        return built;
    }

    int p = 7;
    if (method == MethodCopy)
        built.addedSurround = addAdditionalSurroundTrackAtIndex(args, p, in, s);
    built.furtherAudioTracks = addFurtherAudioTracks(args, p, built.addedSurround ? 2 : 1, in, s);
    const int subtitles = addSubtitles(args, 1, p, in, s);
    const auto surround = built.addedSurround ? surroundTrackFor(in, s) : std::nullopt;
    addNamedAudioLanguages(args, in, surround);
    addAudioTitles(args, in, surround);
    addDefaultDispositions(args, in, s, int(built.addedSurround) + built.furtherAudioTracks,
                           subtitles);
    tagCopiedVideo(args, in);
    chooseMuxerForHevc(args, in);
    return built;
}

QStringList extractionArguments(const ConversionInputs& in, const QString& audioFile)
{
    const int audio = parseAudioDescriptor(chosenDescriptor(in)).streamIndex;
    return {QStringLiteral("-i"),
            in.sourcePath,
            QStringLiteral("-stats"),
            QStringLiteral("-map"),
            streamSpecifier(audio),
            QStringLiteral("-acodec"),
            QStringLiteral("pcm_f32le"),
            QStringLiteral("-ac"),
            QStringLiteral("2"),
            QStringLiteral("-af"),
            kGapFilling,
            QStringLiteral("-loglevel"),
            QStringLiteral("warning"),
            QStringLiteral("-y"),
            QStringLiteral("-flush_packets"),
            QStringLiteral("0"),
            QStringLiteral("-f"),
            QStringLiteral("wav"),
            audioFile};
}

QStringList afconvertArguments(const QString& audioFile, const QString& aacFile,
                               const ConversionSettings& s)
{
    return {audioFile,
            QStringLiteral("-o"),
            aacFile,
            QStringLiteral("-f"),
            QStringLiteral("adts"),
            QStringLiteral("-d"),
            QStringLiteral("aac"),
            QStringLiteral("-b"),
            aacBitrateText(s.aacBitrate)};
}

std::optional<double> encodedAudioOffset(const ConversionInputs& in)
{
    if (in.audioTracks.isEmpty())
        return std::nullopt;
    const int stream = parseAudioDescriptor(chosenDescriptor(in)).streamIndex;
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
    BuiltArguments built;
    QStringList& args = built.arguments;
    args = {QStringLiteral("-i"),
            in.sourcePath,
            QStringLiteral("-i"),
            aacFile,
            QStringLiteral("-stats"),
            QStringLiteral("-map"),
            streamSpecifier(in.videoTrackID),
            QStringLiteral("-map"),
            QStringLiteral("1:0"),
            QStringLiteral("-scodec"),
            QStringLiteral("mov_text"),
            QStringLiteral("-vcodec"),
            QStringLiteral("copy"),
            QStringLiteral("-acodec"),
            QStringLiteral("copy"),
            QStringLiteral("-progress"),
            in.progressFile,
            QStringLiteral("-loglevel"),
            QStringLiteral("warning"),
            QStringLiteral("-y"),
            in.outputPath};

    const qsizetype k = args.indexOf(QStringLiteral("-loglevel"));
    QString language = writtenLanguage(parseAudioDescriptor(chosenDescriptor(in)).language);
    if (s.includeSurroundTrack != 0) {
        // Written as ISO 639-2/T codes ("deu", "fra"), not the bibliographic ones.
        if (s.includeSurroundTrackDisabled != 0)
            language = stringByReplacingMultipleStrings(
                language, {{QStringLiteral("ger"), QStringLiteral("deu")},
                           {QStringLiteral("fre"), QStringLiteral("fra")}});
        insertAll(args, k,
                  {QStringLiteral("-metadata:s:a:0"), makeString("language=%@", language),
                   QStringLiteral("-metadata:s:a:1"), makeString("language=%@", language)});
    } else {
        insertAll(args, k,
                  {QStringLiteral("-metadata:s:a:0"), makeString("language=%@", language)});
    }

    int p = 9;
    built.addedSurround = addAdditionalSurroundTrackAtIndex(args, p, in, s);
    if (s.includeSurroundTrack != 0 && !built.addedSurround &&
        !furtherAudioTracks(in, s).isEmpty()) {
        // Without a surround track the second audio track is a further one,
        // which has its own language.
        const qsizetype at = args.indexOf(QStringLiteral("-metadata:s:a:1"));
        if (at >= 0)
            args.remove(at, 2);
    }
    built.furtherAudioTracks = addFurtherAudioTracks(args, p, built.addedSurround ? 2 : 1, in, s);
    const int subtitles = addSubtitles(args, 2, p, in, s);
    addAudioTitles(args, in, built.addedSurround ? surroundTrackFor(in, s) : std::nullopt);
    addDefaultDispositions(args, in, s, int(built.addedSurround) + built.furtherAudioTracks,
                           subtitles);
    tagCopiedVideo(args, in);
    chooseMuxerForHevc(args, in);
    // Last, so the positions above stay those of the plain list: the AAC
    // stream's input options go right before its "-i". It comes through a
    // FIFO as the encoder makes it, as ADTS, which ffmpeg is told since the
    // name says nothing; a deep packet queue keeps the encoder from waiting
    // on the mux.
    QStringList aacInput{QStringLiteral("-thread_queue_size"), QStringLiteral("1024"),
                         QStringLiteral("-f"), QStringLiteral("aac")};
    if (const auto offset = encodedAudioOffset(in))
        aacInput += {QStringLiteral("-itsoffset"), QString::number(*offset, 'f', 6)};
    insertAll(args, 2, aacInput);
    return built;
}

std::optional<SurroundTrack> surroundTrackFor(const ConversionInputs& in,
                                              const ConversionSettings& s)
{
    if (s.conversionPreset != 0 || s.includeSurroundTrack == 0)
        return std::nullopt;
    const QString chosen = chosenDescriptor(in);
    const QString language = descriptorWord(chosen, 1);
    if (isSurroundDescriptor(chosen) && !chosen.contains(QStringLiteral("(ac3)")) &&
        !chosen.contains(QStringLiteral("(dts)")))
        // A 5.1 or 7.1 track in another codec is its own surround track.
        return SurroundTrack{parseAudioDescriptor(chosen).streamIndex, descriptorWord(chosen, 2)};
    for (const QString& wanted : {QStringLiteral("(ac3)"), QStringLiteral("(dts)")}) {
        for (const QString& d : in.audioTracks) {
            if (isSurroundDescriptor(d) && descriptorWord(d, 1) == language &&
                descriptorWord(d, 2) == wanted)
                return SurroundTrack{parseAudioDescriptor(d).streamIndex, wanted};
        }
    }
    // Then a surround track in any other codec (TrueHD, FLAC, LPCM of a
    // Blu-ray), which becomes AC3 5.1.
    for (const QString& d : in.audioTracks) {
        if (isSurroundDescriptor(d) && descriptorWord(d, 1) == language)
            return SurroundTrack{parseAudioDescriptor(d).streamIndex, descriptorWord(d, 2)};
    }
    return std::nullopt;
}

bool surroundNeedsAC3(const QString& codecWord, const ConversionSettings& s)
{
    if (codecWord == QLatin1String("(dts)"))
        return s.includeSurroundTrackTranscoded != 0;
    // What an MP4 cannot carry (TrueHD, FLAC, PCM, …) becomes AC3 5.1, a
    // 7.1 track downmixed with ffmpeg's standard matrix.
    return !mp4HoldsCodec(codecWord.mid(1, codecWord.size() - 2));
}

bool addAdditionalSurroundTrackAtIndex(QStringList& args, int& p, const ConversionInputs& in,
                                       const ConversionSettings& s)
{
    const std::optional<SurroundTrack> surround = surroundTrackFor(in, s);
    if (!surround)
        return false;

    p = std::clamp(p, 0, int(args.size()));
    insertAll(args, p, {QStringLiteral("-map"), streamSpecifier(surround->stream)});
    p += 2;
    if (surroundNeedsAC3(surround->codecWord, s))
        insertBeforeProgress(args, QStringList{QStringLiteral("-c:a:1"), QStringLiteral("ac3"),
                                               QStringLiteral("-ac"), QStringLiteral("6"),
                                               QStringLiteral("-ab"),
                                               ac3SurroundBitrateText(s.ac3SurroundBitrate)} +
                                       gapFillingFor(1));
    return true;
}

int addFurtherAudioTracks(QStringList& args, int& p, int firstIndex, const ConversionInputs& in,
                          const ConversionSettings& s)
{
    const QList<FurtherAudioTrack> tracks = furtherAudioTracks(in, s);
    p = std::clamp(p, 0, int(args.size()));
    QStringList options;
    int index = firstIndex;
    for (const FurtherAudioTrack& t : tracks) {
        insertAll(args, p, {QStringLiteral("-map"), streamSpecifier(t.stream)});
        p += 2;
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
    if (!options.isEmpty())
        insertBeforeProgress(args, options);
    return int(tracks.size());
}

int addSubtitles(QStringList& args, int firstFileInput, int& p, const ConversionInputs& in,
                 const ConversionSettings& s)
{
    p = std::clamp(p, 0, int(args.size()));
    int inserted = 0;
    // Every pair goes in at p, so the pairs end up last-first.
    const QList<int> streams = mappedSubtitleStreams(in, s);
    for (const int stream : streams) {
        insertAll(args, p, {QStringLiteral("-map"), streamSpecifier(stream)});
        inserted += 2;
    }
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
    // The files: each the next input, right before "-stats", with its
    // encoding, when it has to be named, right before its "-i"; mapped in
    // order before the embedded pairs, with the language and kind their
    // names say.
    QStringList fileMaps;
    QStringList inputs;
    for (int j = 0; j < offset; ++j) {
        const SubtitleFile& file = in.subtitleFiles.at(j);
        asl_NSLog(3, "Info: adding subtitles from file %@", file.path);
        fileMaps << QStringLiteral("-map") << makeString("%i:0", firstFileInput + j);
        const QString encoding = in.subtitleFileEncodings.value(j);
        if (!encoding.isEmpty())
            inputs << QStringLiteral("-sub_charenc") << encoding;
        inputs << QStringLiteral("-i") << file.path;
        // A file whose name says no language is written "und" by itself.
        if (!file.language.isEmpty())
            metadata += languageMetadata("s", j, file.language);
        if (!file.title.isEmpty())
            metadata += titleMetadata("s", j, file.title);
        else if (file.sdh)
            metadata += titleMetadata("s", j, QStringLiteral("SDH"));
    }
    insertAll(args, p, fileMaps);
    inserted += int(fileMaps.size());
    const qsizetype k = args.indexOf(QStringLiteral("-stats"));
    if (k >= 0 && !inputs.isEmpty()) {
        insertAll(args, k, inputs);
        if (k <= p)
            p += int(inputs.size());
    }
    if (!metadata.isEmpty())
        insertBeforeProgress(args, metadata);
    p += inserted;
    return int(streams.size()) + offset;
}

std::optional<int> enabledSubtitleTrack(const ConversionInputs& in, int subtitleTracks)
{
    if (subtitleTracks <= 0)
        return std::nullopt;
    const QString audioLanguage =
        comparableLanguage(parseAudioDescriptor(chosenDescriptor(in)).language);
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
