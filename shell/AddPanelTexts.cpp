#include "shell/AddPanelTexts.h"

#include "engine/FailureExplanation.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/MKVFileInfo.h"
#include "inspection/MovieTags.h"

#include <QFileInfo>

namespace {

struct AddPanelTexts
{
    Q_DECLARE_TR_FUNCTIONS(AddPanelTexts)
};

} // namespace

QString addPanelText(const QString& english)
{
    return AddPanelTexts::tr(english.toUtf8().constData());
}

QString addPanelNoticeFor(const MKVFileInfo& info)
{
    if (!info.unreadableReason().isEmpty())
        return info.unreadableReason();
    if (!info.videoTrackID())
        return addPanelText(kNoVideoNotice);
    // The probe's reason is a clause that follows the movie's name on the
    // command line; the panel shows it as a sentence of its own.
    QString refusal = info.refusalReason();
    if (!refusal.isEmpty())
        refusal[0] = refusal.at(0).toUpper();
    return refusal;
}

QString summaryWithNote(const MKVFileInfo& info)
{
    QString summary = summaryForDisplay(info.informationString());
    if (defaultInt(kWriteTagsKey) != 0) {
        const QString tags = tagsSummary(
            movieTagsFor(info.movieTags(), info.fileURL().toLocalFile(), info.videoHeight()));
        if (!tags.isEmpty())
            summary += QStringLiteral(" \u00b7 ") + tags;
    }
    if (info.playbackNote().isEmpty())
        return summary;
    QString note = info.playbackNote();
    note[0] = note.at(0).toUpper();
    return summary + u'\n' + note;
}

QString notAMovieFileReason(const QString& path)
{
    if (isRegularFile(path))
        return {};
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return AddPanelTexts::tr("This file does not exist (any more).");
    if (info.isDir())
        return AddPanelTexts::tr("This is a folder, not a movie file.");
    if (info.isSymLink() && !info.exists())
        return AddPanelTexts::tr("This link leads to nothing.");
    return AddPanelTexts::tr("This is not a regular file (a pipe, a socket or a device); Vantreo "
                             "reads movies only from regular files.");
}

QString waitingMoviesText(qsizetype count)
{
    if (count <= 0)
        return {};
    if (count == 1)
        return AddPanelTexts::tr("1 more movie waiting");
    return AddPanelTexts::tr("%n more movies waiting", nullptr, int(count));
}

QString summaryForDisplay(const QString& summary)
{
    // The summary's labels are English (the saved queue and the command
    // line's report keep it so); the panel shows them translated.
    static const char* const kLabels[] = {
        QT_TRANSLATE_NOOP("AddPanelTexts", "Duration:"),
        QT_TRANSLATE_NOOP("AddPanelTexts", "Bitrate:"),
        QT_TRANSLATE_NOOP("AddPanelTexts", "Resolution:"),
        QT_TRANSLATE_NOOP("AddPanelTexts", "Audiotracks:"),
    };
    QString shown = summary;
    for (const char* label : kLabels)
        shown.replace(QLatin1String(label), AddPanelTexts::tr(label));
    return shown.replace(QStringLiteral("(null)"), AddPanelTexts::tr("unknown"));
}

QString keptTracksText(const QList<FurtherAudioTrack>& audio, bool keepingAudio,
                       const std::optional<QStringList>& subtitleLanguages)
{
    QStringList parts;
    if (keepingAudio) {
        QStringList tracks;
        for (const FurtherAudioTrack& t : audio)
            tracks.append((t.copied
                               ? QStringLiteral("%1 (%2)").arg(t.language, t.codec)
                               : QStringLiteral("%1 (%2 \u2192 aac)").arg(t.language, t.codec)) +
                          (t.title.isEmpty() ? QString() : u' ' + t.title));
        parts.append(AddPanelTexts::tr("Also keeps: %1")
                         .arg(tracks.isEmpty() ? AddPanelTexts::tr("no other audio track")
                                               : tracks.join(QStringLiteral(", "))));
    }
    if (subtitleLanguages)
        parts.append(AddPanelTexts::tr("Subtitles: %1")
                         .arg(subtitleLanguages->isEmpty()
                                  ? AddPanelTexts::tr("none")
                                  : subtitleLanguageList(*subtitleLanguages)));
    return parts.join(QStringLiteral(" \u00b7 "));
}

QString subtitleFileText(const SubtitleFile& file)
{
    QString text = file.language.isEmpty() ? QStringLiteral("und") : file.language;
    if (file.forced)
        text += u' ' + AddPanelTexts::tr("forced");
    if (file.sdh)
        text += QStringLiteral(" SDH");
    return text + QStringLiteral(" (%1)").arg(QFileInfo(file.path).fileName());
}

QString skippedSubtitlesNote(const QStringList& files)
{
    if (files.isEmpty())
        return {};
    QStringList names;
    for (const QString& path : files)
        names.append(QFileInfo(path).fileName());
    return AddPanelTexts::tr(
               "skipped %1: half of a VobSub pair (.idx and .sub), which cannot be read alone")
        .arg(names.join(QStringLiteral(", ")));
}

QString subtitleTrackText(const SubtitleTrack& track)
{
    QString text;
    if (track.stream >= 0) {
        text = QStringLiteral("#%1: %2")
                   .arg(track.stream)
                   .arg(track.language.isEmpty() ? QStringLiteral("und") : track.language);
        if (track.forced)
            text += u' ' + AddPanelTexts::tr("forced");
        if (!track.title.isEmpty())
            text += u' ' + track.title;
    } else {
        SubtitleFile file;
        file.path = track.path;
        file.language = track.language;
        file.forced = track.forced;
        file.sdh = track.sdh;
        text = subtitleFileText(file);
    }
    if (track.isPicture())
        text += u' ' + AddPanelTexts::tr("(read as text)");
    return text;
}

QString writtenTracksText(const QString& keptText, const QList<SubtitleFile>& files,
                          const QStringList& skipped, bool streamable)
{
    QStringList parts;
    if (!keptText.isEmpty())
        parts.append(keptText);
    if (!files.isEmpty()) {
        QStringList tracks;
        for (const SubtitleFile& file : files)
            tracks.append(subtitleFileText(file));
        parts.append(
            AddPanelTexts::tr("Subtitle files: %1").arg(tracks.join(QStringLiteral(", "))));
    }
    const QString note = skippedSubtitlesNote(skipped);
    if (!note.isEmpty())
        parts.append(note.at(0).toUpper() + note.mid(1));
    if (streamable)
        parts.append(AddPanelTexts::tr("Streamable"));
    return parts.join(QStringLiteral(" \u00b7 "));
}

QStringList audioItemsWithTitles(const QList<AudioTrack>& tracks)
{
    QStringList items;
    for (const AudioTrack& track : tracks)
        items.append(track.title.isEmpty() ? track.descriptor()
                                           : track.descriptor() + u' ' + track.title);
    return items;
}
