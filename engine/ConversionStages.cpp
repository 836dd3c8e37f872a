#include "engine/ConversionStages.h"

#include "engine/ConversionMethod.h"
#include "engine/ConversionSettings.h"
#include "engine/FinishedMarker.h"
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

constexpr double kGiB = 1073741824.0;
const QString kMP4Box = QStringLiteral("MP4Box");

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
                 afconvertArguments(record.audioFile, record.aacFile, settings)},
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
ConversionStage outputPresentStage()
{
    ConversionStage stage;
    stage.finish = [](JobRecord& record) {
        asl_NSLog_debug("mp4 got a size of %fGB", fileSize(record.partialFile) / kGiB);
        deleteFileIfAny(record.aacFile);
        deleteFileIfAny(record.audioFile);
        if (fileExists(record.partialFile))
            return true;
        record.output += makeString("The output file %@ no longer exists.", record.partialFile);
        return false;
    };
    return stage;
}

QStringList trackFlagArguments(int trackId, bool enabled, const QString& file)
{
    return {enabled ? QStringLiteral("-enable") : QStringLiteral("-disable"),
            QString::number(trackId), file};
}

// MP4Box sets the enabled flags in place: the surround track (3) enabled or
// not as the settings ask (both audio tracks share one alternate group), the
// further audio tracks, which follow it, enabled beside the main one, and
// the forced flag of forced subtitle files.
// A failure is logged and the movie kept.
ConversionStage trackFlagsStage()
{
    ConversionStage stage;
    stage.commands = [](JobRecord& record) {
        QList<ToolCommand> runs;
        const ConversionSettings settings = record.settings();
        if (settings.conversionPreset == 0 && record.addedSurround)
            runs.append({kMP4Box, trackFlagArguments(3, settings.includeSurroundTrackDisabled == 0,
                                                     record.partialFile)});
        // Every track of the movie kept (KeepAllAudioTracks): offered in the
        // group, the chosen one alone enabled.
        for (int i = 0; settings.keepAllAudioTracks == 0 && i < record.furtherAudioTracks; ++i)
            runs.append({kMP4Box, trackFlagArguments(3 + int(record.addedSurround) + i, true,
                                                     record.partialFile)});
        // Forced subtitle tracks (files named forced, forced tracks read
        // from pictures, the movie's own marked forced): Apple's players
        // learn it from the text track's display flags. Track IDs follow
        // the output streams: the video, the audio tracks, then the
        // subtitles.
        const bool withAudio = !record.fileInfo->audioTracks().isEmpty();
        const int firstSubtitle =
            2 + (withAudio ? 1 + int(record.addedSurround) + record.furtherAudioTracks : 0);
        const QList<bool> forced = forcedSubtitleTracks(record.conversionInputs(), settings);
        for (int j = 0; j < forced.size(); ++j)
            if (forced.at(j))
                runs.append({kMP4Box,
                             {QStringLiteral("-forced-subtitles"),
                              QString::number(firstSubtitle + j), record.partialFile}});
        return runs;
    };
    stage.toolEnded = [](JobRecord&, int status, const QString& output) {
        if (status == 127 || contains(output, QStringLiteral("Error")))
            asl_NSLog(3, "Error from MP4Box");
        asl_NSLog_debug("conversionFinished MP4Box %@", output);
        return true;
    };
    return stage;
}

// Dolby Vision profile 5 has no HDR10 or SDR base layer: a player that takes
// it for plain HEVC (sample entry hvc1) shows green and purple pictures. It
// needs the sample entry dvh1, which ffmpeg will not write; MP4Box rewrites
// the video's (track 1 in every command line) in place.
ConversionStage dolbyVisionStage()
{
    ConversionStage stage;
    stage.commands = [](JobRecord& record) -> QList<ToolCommand> {
        const MKVFileInfo& info = *record.fileInfo;
        if (info.videoCodec() != QLatin1String("hevc") || info.dolbyVisionProfile() != 5)
            return {};
        return {{kMP4Box,
                 {QStringLiteral("-sample-entry"), QStringLiteral("1"), QStringLiteral("dvh1"),
                  record.partialFile}}};
    };
    stage.toolEnded = [](JobRecord& record, int status, const QString& output) {
        if (status == 0 && !contains(output, QStringLiteral("Error")))
            return true;
        asl_NSLog(3, "Error from MP4Box");
        // Left as hvc1 the file would play in wrong colours: never Finished.
        record.verificationProblem = QCoreApplication::translate(
            "ConversionStages",
            "The Dolby Vision sample entry (dvh1) could not be written into the converted file.");
        record.output += output + record.verificationProblem;
        return false;
    };
    return stage;
}

// Where the source's sound ends, for the read-back check: a short ffprobe
// run over the movie's last packets. Whatever it cannot tell (no ffprobe, a
// movie it cannot seek in, no answer in time) leaves the end unknown and
// that part of the check out; it never fails the job.
ConversionStage sourceEndsStage()
{
    constexpr int kLimitMs = 30000;
    ConversionStage stage;
    stage.commands = [](JobRecord& record) -> QList<ToolCommand> {
        record.sourceEnds.clear();
        if (record.fileInfo->audioTracks().isEmpty())
            return {};
        return {{QStringLiteral("ffprobe"), streamEndsArguments(record.sourcePath()), kLimitMs}};
    };
    stage.toolEnded = [](JobRecord& record, int status, const QString& output) {
        if (status == 0)
            record.sourceEnds = parseStreamEnds(output);
        return true;
    };
    return stage;
}

// Reads the written file back; fails (with the reason on the record) when it
// lacks what the command line mapped.
ConversionStage verifyStage()
{
    ConversionStage stage;
    stage.finish = [](JobRecord& record) {
        const MKVFileInfo& info = *record.fileInfo;
        MappedSource source;
        const QList<AudioTrack>& tracks = info.audioTracks();
        source.withoutAudio = tracks.isEmpty();
        if (record.multiConversion && !tracks.isEmpty())
            source.encodedAudioStream = tracks.value(int(record.audioTrackIndex)).streamIndex;
        source.streamStarts = info.streamTimings().starts;
        source.inputStart = info.streamTimings().inputStart;
        source.streamEnds = record.sourceEnds;
        ExpectedOutput expected =
            expectedOutput(record.arguments, record.addedSurround, info.runtimeSeconds(),
                           info.streamSeconds(), record.furtherAudioTracks, source);
        expected.inputEndedEarly = record.inputEndedEarly;
        const std::optional<WrittenMovie> written = readWrittenMovie(record.partialFile);
        record.verificationProblem = outputProblem(expected, written);
        if (!record.verificationProblem.isEmpty()) {
            asl_NSLog(3, "%@: %@", info.fileName(), record.verificationProblem);
            return false;
        }
        if (record.inputEndedEarly && written)
            record.completionWarning = truncationWarning(info.fileName(), playedSeconds(*written),
                                                         expected.runtimeSeconds);
        for (const QString& note : std::as_const(record.subtitleNotes)) {
            if (!record.completionWarning.isEmpty())
                record.completionWarning += u'\n';
            record.completionWarning +=
                QCoreApplication::translate("ConversionStages", "Note: %1: %2")
                    .arg(info.fileName(), note);
        }
        if (!record.completionWarning.isEmpty())
            asl_NSLog(3, "%@", record.completionWarning);
        return true;
    };
    return stage;
}

// The finished movie's data goes to the disk on the thread pool: for a
// large movie the flush waits for the disk for a good part of a second.
// The move into place then flushes again, which costs nothing more and
// judges the result.
ConversionStage flushStage()
{
    ConversionStage stage;
    stage.background = [](const JobRecord& record) {
        const QString partial = record.partialFile;
        return [partial]() -> ConversionStage::ApplyResult {
            syncFile(partial);
            return {};
        };
    };
    return stage;
}

// The rename and the folder's flush wait for the disk too: done on the
// thread pool, the record learns the movie's place on the main thread.
ConversionStage moveIntoPlaceStage()
{
    ConversionStage stage;
    stage.background = [](const JobRecord& record) {
        const QString partial = record.partialFile;
        const QString wanted = record.destinationPath();
        return [partial, wanted]() -> ConversionStage::ApplyResult {
            // On the disk under its name before the job counts as Finished
            // and the after-conversion settings touch the source.
            const PlacedMovie placed = placeFinishedMovie(partial, wanted);
            return [placed, wanted](JobRecord* record) {
                const auto& moved = placed.path;
                // Removed or stopped meanwhile: like its partial file, the
                // movie it would have become goes.
                if (!record) {
                    if (moved)
                        deleteFileIfAny(*moved);
                    return false;
                }
                if (!moved) {
                    record->verificationProblem = placed.problem;
                    record->output += placed.problem + placed.reason;
                    return false;
                }
                record->partialFile.clear();
                // A name taken meanwhile gave the next free one: the job now
                // points there.
                if (*moved != wanted)
                    record->fileInfo->setDestinationURL(QUrl::fromLocalFile(*moved));
                record->deleteUnfinishedFiles();
                return true;
            };
        };
    };
    return stage;
}

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
