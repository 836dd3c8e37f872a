#include "engine/SubtitleTracks.h"

#include "engine/KeptTracks.h"
#include "inspection/AudioTrackChoice.h"
#include "inspection/Languages.h"

#include <QRegularExpression>

namespace {

bool saysForced(const QString& title)
{
    static const QRegularExpression forced(QStringLiteral("\\bforced\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return forced.match(title).hasMatch();
}

SubtitleTrack fileTrack(const SubtitleFile& file, SubtitleTrack::Source source)
{
    SubtitleTrack t;
    t.source = source;
    t.key = QStringLiteral("file:") + file.path;
    t.path = file.path;
    t.language = file.language;
    t.title = file.title;
    t.forced = file.forced;
    t.sdh = file.sdh;
    return t;
}

SubtitleTrack streamTrack(const ConversionInputs& in, int stream, const QString& language,
                          SubtitleTrack::Source source)
{
    SubtitleTrack t;
    t.source = source;
    t.key = QStringLiteral("stream:%1").arg(stream);
    t.stream = stream;
    t.language = language.isEmpty() ? QStringLiteral("unk") : language;
    t.title = in.timings.titles.value(stream);
    t.forced = in.forcedSubtitleStreams.contains(stream) || saysForced(t.title);
    return t;
}

bool sameLanguage(const QString& a, const QString& b)
{
    return !isUntaggedLanguage(a) && !isUntaggedLanguage(b) &&
           comparableLanguage(a) == comparableLanguage(b);
}

} // namespace

QString chosenAudioLanguage(const ConversionInputs& in)
{
    if (in.audioTracks.isEmpty())
        return {};
    return chosenAudioTrack(in).language;
}

QList<SubtitleTrack> subtitleTracksOf(const ConversionInputs& in)
{
    QList<SubtitleTrack> tracks;
    for (const SubtitleFile& file : in.subtitleFiles)
        tracks.append(fileTrack(file, SubtitleTrack::Source::TextFile));
    for (const SubtitleFile& file : in.pictureSubtitleFiles)
        tracks.append(fileTrack(file, SubtitleTrack::Source::PictureFile));
    for (qsizetype i = 0; i < in.pictureSubtitleTrackIDs.size(); ++i)
        tracks.append(streamTrack(in, in.pictureSubtitleTrackIDs.at(i),
                                  in.pictureSubtitleLanguages.value(i),
                                  SubtitleTrack::Source::PictureStream));
    for (qsizetype i = 0; i < in.subtitleTrackIDs.size(); ++i)
        tracks.append(streamTrack(in, in.subtitleTrackIDs.at(i), in.subtitleTrackLanguages.value(i),
                                  SubtitleTrack::Source::TextStream));
    return tracks;
}

bool keptBySettings(const SubtitleTrack& track, const ConversionInputs& in,
                    const ConversionSettings& s)
{
    if (track.source == SubtitleTrack::Source::TextFile ||
        track.source == SubtitleTrack::Source::PictureFile)
        return true;
    if (s.keepForcedSubtitles != 0 && track.forced &&
        sameLanguage(track.language, chosenAudioLanguage(in)))
        return true;
    if (s.disableBuiltinSubtitles != 0)
        return false;
    if (s.keepLanguageSubtitles == 0)
        return true;
    const QStringList languages =
        keptLanguages(in.preferredLanguages, s.defaultAudio, s.extraLanguages);
    return isUntaggedLanguage(track.language) || languageRank(languages, track.language) >= 0;
}

QList<SubtitleTrack> writtenSubtitleTracks(const ConversionInputs& in, const ConversionSettings& s)
{
    QList<SubtitleTrack> written;
    for (const SubtitleTrack& track : subtitleTracksOf(in)) {
        const bool kept = in.chosenSubtitles ? in.chosenSubtitles->contains(track.key)
                                             : keptBySettings(track, in, s);
        if (kept)
            written.append(track);
    }
    return written;
}

QList<SubtitleFile> chosenSubtitleFiles(const QList<SubtitleFile>& files,
                                        const std::optional<QStringList>& choice)
{
    if (!choice)
        return files;
    QList<SubtitleFile> chosen;
    for (const SubtitleFile& file : files)
        if (choice->contains(fileTrack(file, SubtitleTrack::Source::TextFile).key))
            chosen.append(file);
    return chosen;
}

bool isSubtitleChoiceValue(const QString& value)
{
    static const QRegularExpression languages(
        QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]+)?(,[A-Za-z]{2,3}(-[A-Za-z0-9]+)?)*$"));
    return value == QLatin1String("all") || value == QLatin1String("none") ||
           languages.match(value).hasMatch();
}

QStringList subtitleKeysFor(const QString& value, const ConversionInputs& in)
{
    QStringList keys;
    if (value == QLatin1String("none"))
        return keys;
    const bool all = value == QLatin1String("all");
    const QStringList wanted = all ? QStringList() : extraLanguageCodes(value);
    for (const SubtitleTrack& track : subtitleTracksOf(in))
        if (all ||
            (!isUntaggedLanguage(track.language) && languageRank(wanted, track.language) >= 0))
            keys.append(track.key);
    return keys;
}
