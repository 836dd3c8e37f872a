#include "engine/KeptTracks.h"

#include "engine/SubtitleTracks.h"
#include "inspection/AudioTrackChoice.h"
#include "inspection/CoverChoice.h"
#include "inspection/Languages.h"
#include "inspection/MKVFileInfo.h"

#include <QSet>
#include <algorithm>
#include <utility>

namespace {

using Slot = std::pair<QString, QString>; // comparable language, codec family

Slot slotOf(const AudioTrack& d)
{
    return {comparableLanguage(d.language), codecFamily(d.codec)};
}

} // namespace

QStringList extraLanguageCodes(const QString& text)
{
    QStringList codes;
    for (const QString& part : text.split(u',')) {
        QString entry = part.trimmed();
        if (isPlainLanguageCode(entry))
            entry = entry.toLower();
        const QString code = languageTable().value(entry, entry);
        if (!code.isEmpty() && !codes.contains(code))
            codes.append(code);
    }
    return codes;
}

QStringList keptLanguages(const QStringList& preferred, qint64 defaultAudio,
                          const QString& extraLanguages)
{
    QStringList languages = rankingLanguages(preferred, defaultAudio);
    for (const QString& code : extraLanguageCodes(extraLanguages))
        if (languageRank(languages, code) < 0)
            languages.append(code);
    return languages;
}

QString codecFamily(const QString& codec)
{
    if (codec == QLatin1String("eac3"))
        return QStringLiteral("ac3");
    if (codec == QLatin1String("dca"))
        return QStringLiteral("dts");
    if (codec == QLatin1String("mlp"))
        return QStringLiteral("truehd");
    if (codec.startsWith(QLatin1String("pcm_")))
        return QStringLiteral("pcm");
    return codec;
}

bool mp4HoldsCodec(const QString& codec)
{
    // flac and truehd need -strict in ffmpeg 5.1; dts, vorbis and mp2 are
    // written, but players of MP4 files rarely take them.
    static const QStringList codecs{"aac", "ac3", "eac3", "mp3", "alac", "opus"};
    return codecs.contains(codec);
}

bool isUntaggedLanguage(const QString& language)
{
    return language.isEmpty() || language == QLatin1String("unk") ||
           language == QLatin1String("und");
}

QList<int> furtherAudioTrackIndexes(const QList<AudioTrack>& tracks,
                                    const QList<int>& mappedStreams, const QStringList& languages)
{
    QSet<Slot> taken;
    for (const AudioTrack& d : tracks) {
        if (mappedStreams.contains(d.streamIndex))
            taken.insert(slotOf(d));
    }
    QList<int> kept;
    for (int i = 0; i < tracks.size() && kept.size() < kMaxFurtherAudioTracks; ++i) {
        const AudioTrack& d = tracks.at(i);
        if (mappedStreams.contains(d.streamIndex) || languageRank(languages, d.language) < 0 ||
            taken.contains(slotOf(d)))
            continue;
        taken.insert(slotOf(d));
        kept.append(i);
    }
    return kept;
}

QList<int> keptSubtitleIndexes(const QStringList& subtitleLanguages, const QStringList& languages)
{
    QList<int> kept;
    for (int i = 0; i < subtitleLanguages.size(); ++i) {
        const QString& language = subtitleLanguages.at(i);
        if (isUntaggedLanguage(language) || languageRank(languages, language) >= 0)
            kept.append(i);
    }
    return kept;
}

QList<FurtherAudioTrack> furtherAudioTracks(const ConversionInputs& in, const ConversionSettings& s)
{
    const bool all = s.keepAllAudioTracks != 0;
    if ((!all && s.keepLanguageAudio == 0) || in.audioTracks.isEmpty())
        return {};
    QList<int> mapped{chosenAudioTrack(in).streamIndex};
    if (const auto surround = surroundTrackFor(in, s))
        mapped.append(surround->stream);
    QList<int> indexes;
    if (all) {
        for (int i = 0; i < in.audioTracks.size(); ++i)
            if (!mapped.contains(in.audioTracks.at(i).streamIndex))
                indexes.append(i);
    } else {
        const QStringList languages =
            keptLanguages(in.preferredLanguages, s.defaultAudio, s.extraLanguages);
        indexes = furtherAudioTrackIndexes(in.audioTracks, mapped, languages);
    }
    QList<FurtherAudioTrack> tracks;
    for (const int index : indexes) {
        const AudioTrack& d = in.audioTracks.at(index);
        tracks.append({index, d.streamIndex, d.language, d.codec, mp4HoldsCodec(d.codec),
                       in.timings.titles.value(d.streamIndex)});
    }
    return tracks;
}

int encodedFurtherTrackCount(const ConversionInputs& in, const ConversionSettings& s)
{
    int count = 0;
    for (const FurtherAudioTrack& t : furtherAudioTracks(in, s))
        count += t.copied ? 0 : 1;
    return count;
}

namespace {

// Positions in the subtitle list of the subtitles kept by language; absent
// when the subtitles are not chosen by language.
std::optional<QList<int>> keptSubtitlePositions(const ConversionInputs& in,
                                                const ConversionSettings& s)
{
    if (s.disableBuiltinSubtitles != 0 || s.keepLanguageSubtitles == 0)
        return std::nullopt;
    // Languages missing at the end of the list count as untagged.
    QStringList languages = in.subtitleTrackLanguages.mid(0, in.subtitleTrackIDs.size());
    while (languages.size() < in.subtitleTrackIDs.size())
        languages.append(QStringLiteral("unk"));
    return keptSubtitleIndexes(
        languages, keptLanguages(in.preferredLanguages, s.defaultAudio, s.extraLanguages));
}

} // namespace

QList<int> mappedSubtitleStreams(const ConversionInputs& in, const ConversionSettings& s)
{
    QList<int> streams;
    for (const SubtitleTrack& track : writtenSubtitleTracks(in, s))
        if (track.source == SubtitleTrack::Source::TextStream)
            streams.append(track.stream);
    return streams;
}

std::optional<QStringList> keptSubtitleLanguages(const ConversionInputs& in,
                                                 const ConversionSettings& s)
{
    const auto kept = keptSubtitlePositions(in, s);
    if (!kept)
        return std::nullopt;
    QStringList languages;
    for (const int i : *kept)
        languages.append(in.subtitleTrackLanguages.value(i, QStringLiteral("unk")));
    return languages;
}

ConversionInputs movieTrackInputs(const MKVFileInfo& info, int audioTrackIndex,
                                  const QStringList& preferredLanguages)
{
    ConversionInputs in;
    in.videoTrackID = info.videoTrackID().value_or(0);
    in.videoCodec = info.videoCodec();
    in.dolbyVisionProfile = info.dolbyVisionProfile();
    in.audioTracks = info.audioTracks();
    // The chosen index, kept inside the list (start refuses movies without audio).
    in.audioTrackIndex =
        std::clamp(audioTrackIndex, 0, std::max(0, int(in.audioTracks.size()) - 1));
    in.subtitleTrackIDs = info.subtitleTrackIDs();
    in.subtitleTrackLanguages = info.subtitleTrackLanguages();
    in.pictureSubtitleTrackIDs = info.pictureSubtitleTrackIDs();
    in.pictureSubtitleLanguages = info.pictureSubtitleLanguages();
    in.pictureSubtitleFiles = info.pictureSubtitleFiles();
    in.forcedSubtitleStreams = info.forcedSubtitleStreams();
    in.nameTaggedStreams = info.nameTaggedStreams();
    in.preferredLanguages = preferredLanguages;
    in.timings = info.streamTimings();
    in.subtitleFiles = info.subtitleFiles();
    in.tags = movieTagsFor(info.movieTags(), info.fileURL().toLocalFile(), info.videoHeight());
    QString coverNote;
    in.coverStream = coverPictureStream(info.attachedPictures(), coverNote);
    if (!in.coverStream)
        in.coverFile = info.coverFile();
    return in;
}
