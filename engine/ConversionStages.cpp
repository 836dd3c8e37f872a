#include "engine/ConversionStages.h"

#include "engine/AudioDescriptor.h"
#include "engine/ConversionMethod.h"
#include "engine/ConversionSettings.h"
#include "engine/OutputFiles.h"
#include "engine/OutputVerification.h"
#include "foundation/Alerts.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/StringHelpers.h"

namespace {

constexpr double kGiB = 1073741824.0;
const QString kMP4Box = QStringLiteral("MP4Box");

bool succeeded(JobRecord&, int status, const QString&)
{
    return status == 0;
}

// Whether the copy method's command line asks the AAC trial, without running it.
bool asksForTrial(const JobRecord& record)
{
    bool asked = false;
    singleProcessArguments(record.conversionInputs(), record.method,
                           ConversionSettings::fromStore(), [&asked] {
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
        record.trialFile = documentsFile(
            record.fileInfo->fileName(),
            QStringLiteral(".trial.") + (extension.isEmpty() ? QStringLiteral("mp4") : extension));
        record.journalFiles({record.trialFile});
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

// A conversion process: one run of `tool` with the arguments `build` makes
// from the record when the stage begins; it fails the job unless it ends well.
ConversionStage processStage(const QString& tool, std::function<QStringList(JobRecord&)> build)
{
    ConversionStage stage;
    stage.conversionProcess = true;
    stage.commands = [tool, build](JobRecord& record) -> QList<ToolCommand> {
        return {{tool, build(record)}};
    };
    stage.toolEnded = succeeded;
    return stage;
}

// The arguments of an ffmpeg run that writes the movie; the record learns
// which tracks it adds.
QStringList movieArguments(JobRecord& record, const BuiltArguments& built)
{
    record.addedSurround = record.addedSurround || built.addedSurround;
    record.furtherAudioTracks = built.furtherAudioTracks;
    return built.arguments;
}

// The one ffmpeg run of the copy and AC3 methods.
ConversionStage singleProcessStage()
{
    return processStage(QStringLiteral("ffmpeg"), [](JobRecord& record) {
        return movieArguments(record,
                              singleProcessArguments(record.conversionInputs(), record.method,
                                                     ConversionSettings::fromStore(), [&record] {
                                                         return record.needsFixup.value_or(false);
                                                     }));
    });
}

ConversionStage extractStage()
{
    return processStage(QStringLiteral("ffmpeg"), [](JobRecord& record) {
        record.audioFile = documentsFile(record.fileInfo->fileName(), QStringLiteral(".tmp.wav"));
        return extractionArguments(record.conversionInputs(), record.audioFile);
    });
}

ConversionStage encodeStage()
{
    return processStage(QStringLiteral("afconvert"), [](JobRecord& record) {
        asl_NSLog_debug("wav got a size of %fGB", fileSize(record.audioFile) / kGiB);
        record.aacFile = documentsFile(record.fileInfo->fileName(), QStringLiteral(".tmp.aac"));
        return afconvertArguments(record.audioFile, record.aacFile,
                                  ConversionSettings::fromStore());
    });
}

ConversionStage muxStage()
{
    return processStage(QStringLiteral("ffmpeg"), [](JobRecord& record) {
        asl_NSLog_debug("aac got a size of %fGB", fileSize(record.aacFile) / kGiB);
        deleteFileIfAny(record.audioFile);
        record.audioFile.clear();
        return movieArguments(record, muxArguments(record.conversionInputs(), record.aacFile,
                                                   ConversionSettings::fromStore()));
    });
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
// not as the settings ask (both audio tracks share one alternate group), and
// the further audio tracks, which follow it, enabled beside the main one.
// A failure is logged and the movie kept.
ConversionStage trackFlagsStage()
{
    ConversionStage stage;
    stage.commands = [](JobRecord& record) {
        QList<ToolCommand> runs;
        const ConversionSettings settings = ConversionSettings::fromStore();
        if (settings.conversionPreset == 0 && record.addedSurround)
            runs.append({kMP4Box, trackFlagArguments(3, settings.includeSurroundTrackDisabled == 0,
                                                     record.partialFile)});
        for (int i = 0; i < record.furtherAudioTracks; ++i)
            runs.append({kMP4Box, trackFlagArguments(3 + int(record.addedSurround) + i, true,
                                                     record.partialFile)});
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
        record.verificationProblem = QStringLiteral(
            "The Dolby Vision sample entry (dvh1) could not be written into the converted file.");
        record.output += output + record.verificationProblem;
        return false;
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
        const QStringList& tracks = info.audioTrackInformation();
        source.withoutAudio = tracks.isEmpty();
        if (record.multiConversion && !tracks.isEmpty())
            source.encodedAudioStream =
                parseAudioDescriptor(tracks.value(int(record.audioTrackIndex))).streamIndex;
        source.streamStarts = info.streamTimings().starts;
        source.inputStart = info.streamTimings().inputStart;
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
        if (!record.completionWarning.isEmpty())
            asl_NSLog(3, "%@", record.completionWarning);
        return true;
    };
    return stage;
}

ConversionStage moveIntoPlaceStage()
{
    ConversionStage stage;
    stage.finish = [](JobRecord& record) {
        const QString wanted = record.destinationPath();
        const auto moved = moveIntoPlace(record.partialFile, wanted);
        if (!moved) {
            record.output += makeString("The converted file could not be moved to %@.", wanted);
            return false;
        }
        record.partialFile.clear();
        // A name taken meanwhile gave the next free one: the job now points
        // there.
        if (*moved != wanted)
            record.fileInfo->setDestinationURL(QUrl::fromLocalFile(*moved));
        record.deleteUnfinishedFiles();
        return true;
    };
    return stage;
}

} // namespace

QList<ConversionStage> conversionStages(int method)
{
    QList<ConversionStage> stages;
    if (method == MethodAACViaWAV)
        stages = {extractStage(), encodeStage(), muxStage()};
    else
        stages = {trialStage(), singleProcessStage()};
    stages += {outputPresentStage(), trackFlagsStage(), dolbyVisionStage(), verifyStage(),
               moveIntoPlaceStage()};
    return stages;
}
