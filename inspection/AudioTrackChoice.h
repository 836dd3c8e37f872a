#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The languages the "DefaultAudio" setting picks from: 2 "eng" up to 8 "rus".
const QStringList& fixedAudioLanguages();

// The audio track descriptor to preselect: the best-ranked language (the
// fixed language of `defaultAudio` 2 to 8, else the preferred list; any other
// value counts as 0), then AAC before AC-3 before any other codec, then
// listing order. Absent when there is no audio track.
std::optional<QString> bestLanguage(const QStringList& descriptors, const QStringList& preferred,
                                    qint64 defaultAudio);
// The same with "DefaultAudio" read from the settings.
std::optional<QString> bestLanguage(const QStringList& descriptors, const QStringList& preferred);
