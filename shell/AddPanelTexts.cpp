#include "shell/AddPanelTexts.h"

#include "engine/AudioDescriptor.h"
#include "engine/FailureExplanation.h"
#include "foundation/PathHelpers.h"
#include "inspection/MKVFileInfo.h"

#include <QFileInfo>

QString addPanelNoticeFor(const MKVFileInfo& info)
{
    if (!info.unreadableReason().isEmpty())
        return info.unreadableReason();
    if (!info.videoTrackID())
        return kNoVideoNotice;
    return {};
}

QString notAMovieFileReason(const QString& path)
{
    if (isRegularFile(path))
        return {};
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QStringLiteral("This file does not exist (any more).");
    if (info.isDir())
        return QStringLiteral("This is a folder, not a movie file.");
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("This link leads to nothing.");
    return QStringLiteral("This is not a regular file (a pipe, a socket or a device); Vantreo "
                          "reads movies only from regular files.");
}

QString waitingMoviesText(qsizetype count)
{
    if (count <= 0)
        return {};
    if (count == 1)
        return QStringLiteral("1 more movie waiting");
    return QStringLiteral("%1 more movies waiting").arg(count);
}

QString summaryForDisplay(const QString& summary)
{
    QString shown = summary;
    return shown.replace(QStringLiteral("(null)"), QStringLiteral("unknown"));
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
        parts.append(QStringLiteral("Also keeps: ") + (tracks.isEmpty()
                                                           ? QStringLiteral("no other audio track")
                                                           : tracks.join(QStringLiteral(", "))));
    }
    if (subtitleLanguages)
        parts.append(QStringLiteral("Subtitles: ") +
                     (subtitleLanguages->isEmpty() ? QStringLiteral("none")
                                                   : subtitleLanguageList(*subtitleLanguages)));
    return parts.join(QStringLiteral(" \u00b7 "));
}

QString subtitleFileText(const SubtitleFile& file)
{
    QString text = file.language.isEmpty() ? QStringLiteral("und") : file.language;
    if (file.forced)
        text += QStringLiteral(" forced");
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
    return QStringLiteral("skipped %1: picture subtitles, which an MP4 cannot hold as text")
        .arg(names.join(QStringLiteral(", ")));
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
        parts.append(QStringLiteral("Subtitle files: ") + tracks.join(QStringLiteral(", ")));
    }
    const QString note = skippedSubtitlesNote(skipped);
    if (!note.isEmpty())
        parts.append(note.at(0).toUpper() + note.mid(1));
    if (streamable)
        parts.append(QStringLiteral("Streamable"));
    return parts.join(QStringLiteral(" \u00b7 "));
}

QStringList audioItemsWithTitles(const QStringList& descriptors, const QHash<int, QString>& titles)
{
    QStringList items;
    for (const QString& descriptor : descriptors) {
        const QString title = titles.value(parseAudioDescriptor(descriptor).streamIndex);
        items.append(title.isEmpty() ? descriptor : descriptor + u' ' + title);
    }
    return items;
}
