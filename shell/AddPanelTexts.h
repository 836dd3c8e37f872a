#pragma once

#include "engine/KeptTracks.h"
#include "engine/SubtitleTracks.h"
#include "inspection/AudioTrack.h"
#include "inspection/SubtitleFileNames.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class MKVFileInfo;

// What the add panel says about the movie it shows, as plain functions.

// The audio pop-up's only item for a movie without sound, in English: the
// panel shows it translated (addPanelText).
inline const QString kNoAudioItem = QStringLiteral(QT_TRANSLATE_NOOP("AddPanelTexts", "No audio"));
inline const QString kNoVideoNotice = QStringLiteral(QT_TRANSLATE_NOOP(
    "AddPanelTexts", "This file has no video track to keep; Vantreo converts movies."));

// The summary line as the panel shows it (summaryForDisplay) and, below
// it, where the movie's video does not play.
QString summaryWithNote(const MKVFileInfo& info);

// One of the English texts above in the user's language.
QString addPanelText(const QString& english);

// Why the movie cannot be queued, or empty when it can: the reason the probe
// gave for an unreadable file, then a missing video track, then a missing
// audio track.
QString addPanelNoticeFor(const MKVFileInfo& info);

// Why a path is refused before it is probed: anything but a regular file (or
// a link to one) could block the tools for ever. Empty for a regular file.
QString notAMovieFileReason(const QString& path);

// "1 more movie waiting", "2 more movies waiting"; empty for none.
QString waitingMoviesText(qsizetype count);

// The summary as the panel shows it: values the probe could not find read
// "unknown" instead of "(null)".
QString summaryForDisplay(const QString& summary);

// What is kept beside the chosen audio track, as the panel shows it under the
// audio pop-up: "Also keeps: jpn (aac), fre (dts → aac) · Subtitles: eng, fre".
// The audio part only when `keepingAudio`, the subtitle part only for
// subtitles kept by language; empty when neither.
QString keptTracksText(const QList<FurtherAudioTrack>& audio, bool keepingAudio,
                       const std::optional<QStringList>& subtitleLanguages);

// A subtitle file as the panel and the probe list it: "ger forced
// (Film.de.forced.srt)", "fre SDH (Film.fr.sdh.srt)", "und (Film.srt)".
QString subtitleFileText(const SubtitleFile& file);
// Why VobSub files beside the movie are left out: "skipped Film.sub: half
// of a VobSub pair (.idx and .sub), which cannot be read alone"; empty for
// none.
QString skippedSubtitlesNote(const QStringList& files);
// A subtitle track as the panel's list and the probe show it: "#3: eng
// forced Signs", "ger (Film.de.srt)", "#4: eng (read as text)".
QString subtitleTrackText(const SubtitleTrack& track);
// Everything the panel says will be written beside the video and the chosen
// audio: the kept tracks (keptTracksText), the subtitle files, the skipped
// ones, and "Streamable" when the index goes first.
QString writtenTracksText(const QString& keptText, const QList<SubtitleFile>& files,
                          const QStringList& skipped, bool streamable);

// The audio pop-up's items: each track's descriptor and, when the track has
// one, its title ("#2: eng (aac) Mic").
QStringList audioItemsWithTitles(const QList<AudioTrack>& tracks);
