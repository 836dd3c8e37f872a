#pragma once

#include "inspection/AudioTrack.h"

#include <QString>
#include <QStringList>
#include <optional>

// The languages the "DefaultAudio" setting picks from: 2 "eng" up to 8 "rus".
const QStringList& fixedAudioLanguages();

// The languages the choice ranks by: the fixed language of `defaultAudio`
// 2 to 8, else the preferred list (any other value counts as 0).
QStringList rankingLanguages(const QStringList& preferred, qint64 defaultAudio);

// The form languages are compared in: a two-letter code of the table as its
// three-letter code, and a terminological ISO 639-2 code as the bibliographic
// one the table uses ("deu" as "ger", "fra" as "fre": MP4 files carry the
// terminological codes). Anything else unchanged.
QString comparableLanguage(const QString& language);
// The position of the language in the ranking list, compared as above;
// -1 when it is not there.
qsizetype languageRank(const QStringList& ranking, const QString& language);

// The audio track descriptor to preselect: the best-ranked language (the
// fixed language of `defaultAudio` 2 to 8, else the preferred list; any other
// value counts as 0), then AAC before AC-3 before any other codec, then
// listing order. Absent when there is no audio track.
std::optional<QString> bestLanguage(const QStringList& descriptors, const QStringList& preferred,
                                    qint64 defaultAudio);
// The same with "DefaultAudio" read from the settings.
std::optional<QString> bestLanguage(const QStringList& descriptors, const QStringList& preferred);
// The same choice among the probe's tracks: the index of the track.
std::optional<int> bestAudioTrack(const QList<AudioTrack>& tracks, const QStringList& preferred,
                                  qint64 defaultAudio);
std::optional<int> bestAudioTrack(const QList<AudioTrack>& tracks, const QStringList& preferred);
