#include "engine/SubtitleReading.h"

#include "engine/KeptTracks.h"
#include "engine/OcrLanguages.h"
#include "foundation/PathHelpers.h"
#include "foundation/StringHelpers.h"
#include "inspection/AudioTrackChoice.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

struct SubtitleReading
{
    Q_DECLARE_TR_FUNCTIONS(SubtitleReading)
};

QString missingDataNote(const SubtitleTrack& track, const QString& code)
{
    return SubtitleReading::tr("%1 left out: install %2 to read it")
        .arg(trackName(track), trainedDataPackage(code));
}

// The reading of one picture track; absent (with a note) when its trained
// data is not installed.
std::optional<PictureReading> readingOf(const SubtitleTrack& track, const ConversionInputs& in,
                                        QStringList& notes)
{
    PictureReading r;
    r.track = track;
    r.language = readingLanguage(track.language, in.preferredLanguages);
    const std::optional<QString> folder = trainedDataFolder(r.language);
    if (!folder) {
        notes.append(missingDataNote(track, r.language));
        return std::nullopt;
    }
    r.tessdata = *folder;
    if (track.source == SubtitleTrack::Source::PictureStream) {
        r.input = in.sourcePath;
        r.stream = track.stream;
        r.offset = in.timings.inputStart.value_or(0);
    } else {
        r.input = track.path;
    }
    return r;
}

int numberAfter(const QString& text, const QString& label)
{
    const QRegularExpression number(QRegularExpression::escape(label) +
                                    QStringLiteral("\\s*(\\d+)"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

QString trackName(const SubtitleTrack& track)
{
    const QString language = isUntaggedLanguage(track.language)
                                 ? QString()
                                 : QStringLiteral(" (%1)").arg(track.language);
    if (track.stream >= 0)
        return SubtitleReading::tr("subtitle track %1%2").arg(track.stream).arg(language);
    return SubtitleReading::tr("subtitle file %1%2").arg(lastPathComponent(track.path), language);
}

ReadingPlan pictureReadings(const ConversionInputs& in, const ConversionSettings& s)
{
    ReadingPlan plan;
    QStringList written;
    for (const SubtitleTrack& track : writtenSubtitleTracks(in, s)) {
        if (!track.isPicture())
            continue;
        written.append(track.key);
        if (const auto r = readingOf(track, in, plan.notes))
            plan.readings.append(*r);
    }
    // A Blu-ray track often mixes the forced lines into the whole track: of
    // a track left out, those in the audio's language are read for them.
    if (s.keepForcedSubtitles == 0 || in.chosenSubtitles)
        return plan;
    const QString audio = chosenAudioLanguage(in);
    for (const SubtitleTrack& track : subtitleTracksOf(in)) {
        if (track.source != SubtitleTrack::Source::PictureStream || written.contains(track.key) ||
            isUntaggedLanguage(track.language) || isUntaggedLanguage(audio) ||
            comparableLanguage(track.language) != comparableLanguage(audio))
            continue;
        QStringList ignored; // a track the user did not ask for gets no note
        if (auto r = readingOf(track, in, ignored)) {
            r->forcedOnly = true;
            plan.readings.append(*r);
        }
    }
    return plan;
}

QStringList pictureReadingNotes(const ConversionInputs& in, const ConversionSettings& s)
{
    return pictureReadings(in, s).notes;
}

QStringList subocrArguments(const PictureReading& reading, const QString& srt,
                            const QString& forcedSrt)
{
    QStringList args;
    if (reading.stream)
        args << QStringLiteral("--stream") << QString::number(*reading.stream);
    args << QStringLiteral("--lang") << reading.language << QStringLiteral("--tessdata")
         << reading.tessdata;
    if (reading.offset > 0)
        args << QStringLiteral("--offset") << QString::number(reading.offset, 'f', 6);
    args << QStringLiteral("-o") << srt << QStringLiteral("--forced-output") << forcedSrt
         << reading.input;
    return args;
}

std::optional<ReadingSummary> readingSummary(const QString& output)
{
    static const QRegularExpression line(QStringLiteral("^events: .*$"),
                                         QRegularExpression::MultilineOption);
    QRegularExpressionMatch last;
    for (auto it = line.globalMatch(output); it.hasNext();)
        last = it.next();
    if (!last.hasMatch())
        return std::nullopt;
    const QString text = last.captured(0);
    ReadingSummary s;
    s.events = numberAfter(text, QStringLiteral("events:"));
    s.read = numberAfter(text, QStringLiteral("read:"));
    s.forced = numberAfter(text, QStringLiteral("forced:"));
    s.empty = numberAfter(text, QStringLiteral("empty:"));
    if (s.events < 0 || s.read < 0 || s.forced < 0)
        return std::nullopt;
    s.empty = std::max(0, s.empty);
    return s;
}

std::optional<int> latestReadingProgress(const QString& output)
{
    const qsizetype at = output.lastIndexOf(QLatin1String("progress: "));
    if (at < 0)
        return std::nullopt;
    bool ok = false;
    qsizetype end = at + 10;
    while (end < output.size() && output.at(end).isDigit())
        ++end;
    const int p = output.mid(at + 10, end - at - 10).toInt(&ok);
    return ok ? std::optional<int>(std::clamp(p, 0, 100)) : std::nullopt;
}

QString readingError(const QString& output)
{
    for (const QString& line : lines(output))
        if (line.startsWith(QLatin1String("Error: ")))
            return line.mid(7).trimmed();
    return {};
}

QList<SubtitleFile> tracksFromReading(const PictureReading& reading, const ReadingSummary& summary,
                                      const QString& srt, const QString& forcedSrt)
{
    const SubtitleTrack& t = reading.track;
    const auto file = [&t](const QString& path, bool forced) {
        SubtitleFile f;
        f.path = path;
        f.language = isUntaggedLanguage(t.language) ? QString() : t.language;
        f.forced = forced;
        f.sdh = t.sdh;
        f.title = t.title;
        return f;
    };
    if (reading.forcedOnly)
        return summary.forced > 0 ? QList<SubtitleFile>{file(forcedSrt, true)}
                                  : QList<SubtitleFile>{};
    if (summary.read <= 0)
        return {};
    if (t.forced || summary.forced >= summary.read)
        return {file(srt, true)};
    if (summary.forced == 0)
        return {file(srt, false)};
    SubtitleFile forced = file(forcedSrt, true);
    // The forced-only track of a mixed one is named for what it holds.
    forced.title = t.title.isEmpty() ? SubtitleReading::tr("Forced")
                                     : SubtitleReading::tr("%1 (forced)").arg(t.title);
    return {file(srt, false), forced};
}
