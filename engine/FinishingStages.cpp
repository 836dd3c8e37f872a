#include "engine/FinishingStages.h"

#include "engine/ConversionSettings.h"
#include "engine/FinishedMarker.h"
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

} // namespace

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
// run over the movie's last packets, begun with the conversion so that the
// job never waits for it alone. Whatever it cannot tell (no ffprobe, a
// movie it cannot seek in, no answer in time) leaves the end unknown and
// that part of the check out; it never fails the job.
ConversionStage sourceEndsStage()
{
    constexpr int kLimitMs = 30000;
    ConversionStage stage;
    stage.startsEarly = true;
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
