#include "engine/FailureExplanation.h"

#include "engine/KeptTracks.h"
#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"

#include <QCoreApplication>

namespace {

// Enough of the tool output to recognise the problem in an alert.
constexpr qsizetype kShownOutputLength = 400;

} // namespace

QString subtitleLanguageList(const QStringList& languages)
{
    QStringList shown;
    for (const QString& language : languages) {
        const QString text = isUntaggedLanguage(language)
                                 ? QCoreApplication::translate("FailureExplanation", "untagged")
                                 : language;
        if (!shown.contains(text))
            shown.append(text);
    }
    return shown.join(QStringLiteral(", "));
}

QString freeSpaceFailureText()
{
    return QCoreApplication::translate(
        "FailureExplanation",
        "Movie conversion failed because there is not enough free space left on the "
        "destination volume. Please make sure your harddisk has enough free space before "
        "starting conversion");
}

FailureExplanation explainFailure(const QString& jobOutput, const QStringList& arguments,
                                  bool disableBuiltinSubtitles, bool movieHasSubtitleTracks,
                                  bool hasSubtitleFile, const QString& outputProblem,
                                  const std::optional<QStringList>& keptSubtitleLanguages)
{
    FailureExplanation e;
    if (contains(jobOutput, QStringLiteral("No space left on device"))) {
        e.title = QStringLiteral("Conversion Failed");
        e.message = freeSpaceFailureText();
        e.defaultButton = QStringLiteral("OK");
        return e;
    }
    if (contains(jobOutput, QStringLiteral("USER_REMOVED"))) {
        e.title = QStringLiteral("Conversion Failed");
        e.message = QCoreApplication::translate(
            "FailureExplanation", "Movie conversion failed because you've removed/renamed the "
                                  "source movie file or unmounted it's volume.");
        e.defaultButton = QStringLiteral("OK");
        return e;
    }
    QString hint;
    // Subtitles kept by language: only those were carried, and only when
    // there were any can they be the cause.
    if (!disableBuiltinSubtitles && movieHasSubtitleTracks && !keptSubtitleLanguages)
        hint = QCoreApplication::translate(
            "FailureExplanation", "This is most likely related to the subtitles embedded into the "
                                  "movie. Please disable conversion of embedded subtitles in the "
                                  "preferences and try again.");
    else if (!disableBuiltinSubtitles && keptSubtitleLanguages && !keptSubtitleLanguages->isEmpty())
        hint = makeString(QCoreApplication::translate(
                              "FailureExplanation",
                              "This is most likely related to the subtitles embedded into "
                              "the movie (kept for the languages %@). Please disable "
                              "conversion of embedded subtitles in the preferences and "
                              "try again."),
                          subtitleLanguageList(*keptSubtitleLanguages));
    if (hasSubtitleFile)
        hint = QCoreApplication::translate(
            "FailureExplanation", "This is most likely related to the subtitle file you have "
                                  "specified. Please try again without the subtitle file.");
    // The written file was read back and lacks something: that is the cause.
    if (!outputProblem.isEmpty())
        hint = outputProblem;
    e.title = QStringLiteral("Information");
    e.message = makeString(
        QCoreApplication::translate("FailureExplanation",
                                    "A problem prevented the file from being converted. %@ You can "
                                    "contact our support with this information so that we can fix "
                                    "this problem.\n\nCommand-line: %@\nCommand-output: %@"),
        hint, arguments.join(QLatin1Char(' ')), clamp(jobOutput, kShownOutputLength));
    e.defaultButton = QStringLiteral("Send to support");
    e.alternateButton = QStringLiteral("Cancel");
    e.offersSupportMail = true;
    return e;
}

QString problemReportMailText(const QString& supportAddress, const QString& appName,
                              const QString& appVersionString, const QString& commandLine,
                              const QString& jobOutput, const QString& machineType,
                              const QString& osVersion, const QString& crashNote)
{
    return QStringLiteral("mailto:") + supportAddress +
           makeString("?subject=%@ v%@ Problem Report&body=Hello\nConversion of a file "
                      "failed.\n\nBye\n\nP.S. Details: %@ %@\n\n\nP.P.S: Hardware: %@ "
                      "Software: %@ %@",
                      appName, appVersionString, commandLine, jobOutput, machineType, osVersion,
                      crashNote);
}

QString destinationNotWritableText()
{
    return QCoreApplication::translate(
        "FailureExplanation",
        "You don't seem to have write access to the selected destinatation "
        "or it is a read-only filesystem. Please choose another destination.");
}
