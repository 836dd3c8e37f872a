#include "shell/AddPanelTexts.h"

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
            tracks.append(t.copied ? QStringLiteral("%1 (%2)").arg(t.language, t.codec)
                                   : QStringLiteral("%1 (%2 \u2192 aac)").arg(t.language, t.codec));
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
