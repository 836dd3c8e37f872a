#include "engine/StatusLine.h"

#include "engine/AudioDescriptor.h"
#include "engine/JobState.h"
#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"

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

} // namespace

QString stateInfoString(const StatusLineInputs& in)
{
    QString text = QStringLiteral("Status: ") + jobStateLabel(in.state);
    switch (in.state) {
    case 4:
        return makeString("%@   Click the arrow at the right to get more information.", text);
    case 3:
        text += makeString(" [Conversion took: %@]", formattedTimeFromTimeInterval(in.tookSeconds));
        return in.warning.isEmpty() ? text : text + QStringLiteral("   ") + in.warning;
    case 1:
        break;
    default:
        return text;
    }

    const QString chosen =
        in.audioTracks.isEmpty()
            ? QStringLiteral(" No audio")
            : parseAudioDescriptor(in.audioTracks.value(in.audioTrackIndex)).displayText;
    text = makeString("%@   Audio: %@", text, chosen);
    if (in.audioTracks.size() >= 2) {
        QString others;
        for (qsizetype i = 0; i < in.audioTracks.size(); ++i) {
            if (i != in.audioTrackIndex)
                others += makeString(", %@", parseAudioDescriptor(in.audioTracks[i]).displayText);
        }
        text = makeString("%@ (Discarded: %@)", text, others.mid(2));
    }
    text =
        makeString("%@   ETA: %@", text,
                   formattedTimeFromTimeInterval(remainingSeconds(in.progress, in.elapsedSeconds)));
    // The extraction and the encoding run at once, as tasks 1 and 2.
    if (in.multiConversion && in.conversionStage < 2)
        text = makeString("%@ (Tasks 1 and 2 of 3)", text);
    else if (in.multiConversion)
        text = makeString("%@ (Task %i of 3)", text, in.conversionStage + 1);
    return text;
}
