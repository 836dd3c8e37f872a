#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The alert a Failed job shows when revealed.
struct FailureExplanation
{
    QString title, message, defaultButton, alternateButton;
    // The default button sends a problem report to support.
    bool offersSupportMail = false;
};

// `arguments` are those of the last process launched, `jobOutput` its
// collected output (or the marker "USER_REMOVED"); `outputProblem` is what the
// check of the written file found missing, if anything, and names the cause.
// `keptSubtitleLanguages` are the languages of the embedded subtitles kept by
// language (KeepLanguageSubtitles); absent when every one is carried.
FailureExplanation explainFailure(const QString& jobOutput, const QStringList& arguments,
                                  bool disableBuiltinSubtitles, bool movieHasSubtitleTracks,
                                  bool hasSubtitleFile, const QString& outputProblem = {},
                                  const std::optional<QStringList>& keptSubtitleLanguages = {});
// The mailto text of a problem report; `crashNote` is " Problems: N" or empty.
QString problemReportMailText(const QString& supportAddress, const QString& appName,
                              const QString& appVersionString, const QString& commandLine,
                              const QString& jobOutput, const QString& machineType,
                              const QString& osVersion, const QString& crashNote);
QString freeSpaceFailureText();
// Subtitle languages as the user reads them: "ger, eng, untagged", each once.
QString subtitleLanguageList(const QStringList& languages);

// The message for a destination that cannot be written to.
QString destinationNotWritableText();
