#include "engine/StatusLine.h"

#include "engine/JobState.h"
#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"

#include <QCoreApplication>

namespace {

// Five hours: the estimate is meaningless beyond that, and infinite at 0 %.
constexpr double kLongestRemaining = 18000.0;

double remainingSeconds(float progress, double elapsed)
{
    const float factor = 100.0f / progress;
    const double remaining = double(factor) * elapsed - elapsed;
    if (!(remaining <= kLongestRemaining)) // also NaN
        return kLongestRemaining;
    return remaining < 0 ? 0.0 : remaining;
}

// The status line's texts, each marked where it is used for lupdate.
QString translated(const char* english)
{
    return QCoreApplication::translate("StatusLine", english);
}

} // namespace

QString stateInfoString(const StatusLineInputs& in)
{
    QString text =
        translated(QT_TRANSLATE_NOOP("StatusLine", "Status: %1")).arg(jobStateLabel(in.state));
    switch (in.state) {
    case JobState::Failed:
        return translated(
                   QT_TRANSLATE_NOOP("StatusLine",
                                     "%1   Click the arrow at the right to get more information."))
            .arg(text);
    case JobState::Finished:
        text += translated(QT_TRANSLATE_NOOP("StatusLine", " [Conversion took: %1]"))
                    .arg(formattedTimeFromTimeInterval(in.tookSeconds));
        return in.warning.isEmpty() ? text
                                    : text + QStringLiteral("   ") +
                                          QString(in.warning).replace(u'\n', QStringLiteral("   "));
    case JobState::Converting:
        break;
    default:
        return text;
    }

    const int conversionTasks = in.multiConversion ? 3 : 1;
    const int tasks = in.readingTasks + conversionTasks;
    if (in.readingSubtitles)
        return translated(QT_TRANSLATE_NOOP("StatusLine", "%1   ETA: %2"))
            .arg(
                translated(QT_TRANSLATE_NOOP("StatusLine", "%1   Reading subtitles (Task 1 of %2)"))
                    .arg(text)
                    .arg(tasks),
                formattedTimeFromTimeInterval(remainingSeconds(in.progress, in.elapsedSeconds)));
    const QString chosen =
        in.audioTracks.isEmpty()
            ? QStringLiteral(" ") + translated(QT_TRANSLATE_NOOP("StatusLine", "No audio"))
            : in.audioTracks.value(in.audioTrackIndex).displayText();
    text = translated(QT_TRANSLATE_NOOP("StatusLine", "%1   Audio: %2")).arg(text, chosen);
    if (in.audioTracks.size() >= 2) {
        QString others;
        for (qsizetype i = 0; i < in.audioTracks.size(); ++i) {
            if (i != in.audioTrackIndex)
                others += makeString(", %@", in.audioTracks[i].displayText());
        }
        text = translated(QT_TRANSLATE_NOOP("StatusLine", "%1 (Discarded: %2)"))
                   .arg(text, others.mid(2));
    }
    text =
        translated(QT_TRANSLATE_NOOP("StatusLine", "%1   ETA: %2"))
            .arg(text,
                 formattedTimeFromTimeInterval(remainingSeconds(in.progress, in.elapsedSeconds)));
    // The extraction, the encoding and the mux run at once; the subtitles
    // read before are the first task.
    if (in.readingTasks > 0 && in.multiConversion)
        text = translated(QT_TRANSLATE_NOOP("StatusLine", "%1 (Tasks %2 to %3 of %3)"))
                   .arg(text)
                   .arg(in.readingTasks + 1)
                   .arg(tasks);
    else if (in.readingTasks > 0)
        text =
            translated(QT_TRANSLATE_NOOP("StatusLine", "%1 (Task %2 of %2)")).arg(text).arg(tasks);
    else if (in.multiConversion)
        text = translated(QT_TRANSLATE_NOOP("StatusLine", "%1 (Tasks 1 to 3 of 3)")).arg(text);
    return text;
}
