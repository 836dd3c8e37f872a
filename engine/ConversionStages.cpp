#include "engine/ConversionStages.h"

#include "engine/ConversionMethod.h"
#include "engine/ConversionSettings.h"
#include "engine/FinishedMarker.h"
#include "engine/FinishingStages.h"
#include "engine/MoovReserve.h"
#include "engine/OutputFiles.h"
#include "engine/OutputVerification.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/StringHelpers.h"
#include "foundation/ToolLocator.h"
#include "foundation/ToolRun.h"

#include <QCoreApplication>

namespace {

// Whether the copy method's command line asks the AAC trial, without running it.
bool asksForTrial(const JobRecord& record)
{
    bool asked = false;
    singleProcessArguments(record.conversionInputs(), record.method, record.settings(), [&asked] {
        asked = true;
        return false;
    });
    return asked;
}

// The one-second trial that shows whether copied AAC audio needs the ADTS
// bitstream filter. Its answer is kept for the movie's later starts.
ConversionStage trialStage()
{
    ConversionStage stage;
    stage.commands = [](JobRecord& record) -> QList<ToolCommand> {
        if (record.needsFixup || !asksForTrial(record))
            return {};
        // The trial's second of movie goes to a temporary file of its own,
        // in the container the destination gets; nothing is written at the
        // destination.
        const QString extension = pathExtension(record.destinationPath());
        record.trialFile = record.reserveTemporary(
            QStringLiteral(".trial.") + (extension.isEmpty() ? QStringLiteral("mp4") : extension));
        if (record.trialFile.isEmpty())
            return {};
        return {{QStringLiteral("ffmpeg"),
                 fixupTestArguments(record.conversionInputs(), record.trialFile)}};
    };
    stage.toolEnded = [](JobRecord& record, int, const QString& output) {
        deleteFileIfAny(record.trialFile);
        record.trialFile.clear();
        record.journalFiles();
        record.needsFixup = contains(output, QStringLiteral("aac_adtstoasc"));
        // A failed trial only means no bitstream filter.
        return true;
    };
    return stage;
}

// The picture subtitle tracks read as text, each by a run of our subocr,
// before anything else: their SRT files become subtitle files of the
// conversion. It takes the first part of the progress bar. A track that
// cannot be read is left out with a note; it never fails the job.
ConversionStage subtitleReadingStage()
{
    // Reading pictures takes longer than copying a movie.
    constexpr float kReadingShare = 50;
    ConversionStage stage;
    stage.conversionProcess = true;
    stage.commands = [](JobRecord& record) -> QList<ToolCommand> {
        const ReadingPlan plan = pictureReadings(record.movieInputs(), record.settings());
        record.readings = plan.readings;
        record.readingCount = int(plan.readings.size());
        QList<ToolCommand> runs;
        for (int i = 0; i < record.readings.size(); ++i) {
            const QString srt = record.reserveTemporary(QStringLiteral(".sub%1.srt").arg(i));
            const QString forced =
                srt.isEmpty() ? QString()
                              : record.reserveTemporary(QStringLiteral(".sub%1.forced.srt").arg(i));
            if (srt.isEmpty() || forced.isEmpty())
                return {};
            record.readingFiles << srt << forced;
            runs.append(
                {QStringLiteral("subocr"), subocrArguments(record.readings.at(i), srt, forced)});
        }
        record.readingIndex = runs.isEmpty() ? -1 : 0;
        record.readingShare = runs.isEmpty() ? 0 : kReadingShare;
        return runs;
    };
    stage.toolEnded = [](JobRecord& record, int status, const QString& output) {
        const int i = record.readingIndex;
        if (i < 0 || i >= record.readings.size())
            return true;
        const PictureReading& reading = record.readings.at(i);
        const std::optional<ReadingSummary> summary = readingSummary(output);
        const QString name = trackName(reading.track);
        if (status != 0 || !summary) {
            QString reason = readingError(output);
            if (reason.isEmpty())
                reason = status == ToolRun::kNotStarted
                             ? ToolLocator::installHint(QStringLiteral("subocr"))
                             : QCoreApplication::translate("ConversionStages",
                                                           "its reader ended with status %1")
                                   .arg(status);
            if (!reading.forcedOnly)
                record.subtitleNotes.append(
                    QCoreApplication::translate("ConversionStages",
                                                "%1 left out: it could not be read (%2)")
                        .arg(name, reason));
            asl_NSLog(3, "%@: %@ could not be read: %@", record.fileInfo->fileName(), name, reason);
        } else {
            const QList<SubtitleFile> tracks =
                tracksFromReading(reading, *summary, record.readingFiles.value(2 * i),
                                  record.readingFiles.value(2 * i + 1));
            if (tracks.isEmpty() && !reading.forcedOnly)
                record.subtitleNotes.append(
                    QCoreApplication::translate(
                        "ConversionStages", "%1 left out: no text could be read from its pictures")
                        .arg(name));
            record.readSubtitles += tracks;
        }
        record.readingIndex = i + 1 < record.readings.size() ? i + 1 : -1;
        return true;
    };
    return stage;
}

// Puts the movie's index (moov) before its media, so that players and media
// servers start at once. Room for it is reserved at the start of the file
// (-moov_size), which ffmpeg fills when it ends: the file is written once.
// Only when no reserve can be sized, or the one given proved too small,
// does ffmpeg move the index forward by rewriting the whole file
// (+faststart), a second pass.
void placeIndexFirst(FfmpegCommand& command, JobRecord& record, const MoovReserveFor& reserve)
{
    if (record.indexRewrite == JobRecord::IndexRewrite::None) {
        if (const std::optional<qint64> bytes = reserve(record, command.render())) {
            command.addOutputOption({QStringLiteral("-moov_size"), QString::number(*bytes)});
            return;
        }
        asl_NSLog(3,
                  "%@: the size of the index is unknown; it is moved to the front of the "
                  "file once written",
                  record.fileInfo->fileName());
    }
    record.indexRewrite = JobRecord::IndexRewrite::Done;
    command.addMovieFlag(QStringLiteral("+faststart"));
}

// The arguments of an ffmpeg run that writes the movie; the record learns
// which tracks it adds.
QStringList movieArguments(JobRecord& record, const BuiltArguments& built,
                           const ConversionSettings& settings, const MoovReserveFor& reserve)
{
    record.addedSurround = record.addedSurround || built.addedSurround;
    record.furtherAudioTracks = built.furtherAudioTracks;
    FfmpegCommand command = built.command;
    // The mark of a movie finished by Vantreo, naming its source, which the
    // library runs read to pass over what was converted before.
    if (const auto source = sourceStampOf(record.fileInfo->fileURL().toLocalFile()))
        command.addOutputOption({QStringLiteral("-metadata"),
                                 QStringLiteral("encoding_tool=") +
                                     finishedMarkerText(*source, appInfo().appVersionString())});
    // A run redone after a too small reserve is a rewrite, whatever the
    // setting says by now.
    if (settings.streamableOutput != 0 || record.indexRewrite == JobRecord::IndexRewrite::Due)
        placeIndexFirst(command, record, reserve);
    return command.render();
}

// The end of a run that writes the movie. ffmpeg ends with status 0 even when
// it could not finish the file: a reserve too small for the index (the index
// then overwrites the start of the media), or a failed rewrite. The first
// makes the run once more with the rewrite; the others fail the job.
bool movieRunEnded(JobRecord& record, int status, const QString& output)
{
    if (status != 0)
        return false;
    if (contains(output, QStringLiteral("reserved_moov_size is too small")) &&
        record.indexRewrite == JobRecord::IndexRewrite::None) {
        asl_NSLog(3,
                  "%@: the room reserved for the index was too small; the movie is written "
                  "again with its index moved to the front",
                  record.fileInfo->fileName());
        deleteFileIfAny(record.partialFile);
        record.indexRewrite = JobRecord::IndexRewrite::Due;
        return true;
    }
    return !contains(output, QStringLiteral("Error writing trailer"));
}

// An ffmpeg run that writes the movie, with the arguments `build` makes from
// the record and the settings when the stage begins.
ConversionStage
movieStage(const std::function<BuiltArguments(JobRecord&, const ConversionSettings&)>& build,
           const MoovReserveFor& reserve)
{
    ConversionStage stage;
    stage.conversionProcess = true;
    stage.commands = [build, reserve](JobRecord& record) -> QList<ToolCommand> {
        const ConversionSettings settings = record.settings();
        return {{QStringLiteral("ffmpeg"),
                 movieArguments(record, build(record, settings), settings, reserve)}};
    };
    stage.toolEnded = movieRunEnded;
    stage.again = [](const JobRecord& record) {
        return record.indexRewrite == JobRecord::IndexRewrite::Due;
    };
    return stage;
}

// The one ffmpeg run of the copy and AC3 methods.
ConversionStage singleProcessStage(const MoovReserveFor& reserve)
{
    return movieStage(
        [](JobRecord& record, const ConversionSettings& settings) {
            return singleProcessArguments(record.conversionInputs(), record.method, settings,
                                          [&record] { return record.needsFixup.value_or(false); });
        },
        reserve);
}

// The extraction, the encoding and the mux at once: ffmpeg decodes the
// chosen track into a FIFO that our afconvert reads as the sound comes, and
// afconvert's AAC goes through a second FIFO into the ffmpeg run that writes
// the movie. Decoding, encoding and copying the video overlap on two cores,
// and neither the decoded sound nor the AAC reaches the disk. The movie's
// progress is the mux's; a run redone (the index's room too small) redoes
// all three.
ConversionStage streamedConversionStage(const MoovReserveFor& reserve)
{
    ConversionStage stage;
    stage.conversionProcess = true;
    stage.concurrent = true;
    stage.commands = [reserve](JobRecord& record) -> QList<ToolCommand> {
        deleteFileIfAny(record.audioFile);
        deleteFileIfAny(record.aacFile);
        record.aacFile.clear();
        record.audioFile =
            record.reserveTemporary(QStringLiteral(".audio.fifo"), TemporaryKind::Fifo);
        if (!record.audioFile.isEmpty())
            record.aacFile =
                record.reserveTemporary(QStringLiteral(".aac.fifo"), TemporaryKind::Fifo);
        if (record.audioFile.isEmpty() || record.aacFile.isEmpty())
            return {};
        const ConversionSettings settings = record.settings();
        const ConversionInputs inputs = record.conversionInputs();
        return {{QStringLiteral("ffmpeg"), extractionArguments(inputs, record.audioFile)},
                {QStringLiteral("afconvert"),
                 afconvertArguments(record.audioFile, record.aacFile, settings,
                                    record.fileInfo->runtimeSeconds())},
                {QStringLiteral("ffmpeg"),
                 movieArguments(record, muxArguments(inputs, record.aacFile, settings), settings,
                                reserve)}};
    };
    // Asked for the mux, the last run, once all three ended well.
    stage.toolEnded = movieRunEnded;
    stage.again = [](const JobRecord& record) {
        return record.indexRewrite == JobRecord::IndexRewrite::Due;
    };
    return stage;
}

// After the last process: the temporary audio goes, and the written file
// must still be there (its folder may have been deleted or unmounted).
} // namespace

std::optional<qsizetype> failingRun(const QList<ToolResult>& results)
{
    std::optional<qsizetype> found;
    int foundRank = 0;
    for (qsizetype i = 0; i < results.size(); ++i) {
        const ToolResult& r = results.at(i);
        if (r.status == 0)
            continue;
        // 3: failed of itself; 2: lost its reader; 1: told to end.
        const int rank =
            r.stopped ? 1 : (contains(r.output, QStringLiteral("Broken pipe")) ? 2 : 3);
        if (rank > foundRank) {
            found = i;
            foundRank = rank;
        }
    }
    return found;
}

std::optional<qint64> estimatedMoovReserve(const JobRecord& record, const QStringList& arguments)
{
    const MKVFileInfo& info = *record.fileInfo;
    // The mux stage's AAC keeps the sample rate of the track it was made of.
    int encodedRate = 0;
    if (!record.aacFile.isEmpty()) {
        const AudioTrack chosen = info.audioTracks().value(int(record.audioTrackIndex));
        encodedRate = info.streamTimings().sampleRates.value(chosen.streamIndex);
    }
    return moovReserveBytes(moovEstimateInputs(arguments, info, record.aacFile, encodedRate));
}

QList<ConversionStage> conversionStages(int method, const MoovReserveFor& reserve)
{
    QList<ConversionStage> stages{subtitleReadingStage()};
    if (method == MethodAACViaWAV)
        stages += streamedConversionStage(reserve);
    else
        stages += {trialStage(), singleProcessStage(reserve)};
    stages += {outputPresentStage(), trackFlagsStage(), dolbyVisionStage(),  sourceEndsStage(),
               verifyStage(),        flushStage(),      moveIntoPlaceStage()};
    return stages;
}
