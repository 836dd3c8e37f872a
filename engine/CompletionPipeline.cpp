#include "engine/CompletionPipeline.h"

#include "engine/AudioDescriptor.h"
#include "engine/CommandLines.h"
#include "engine/ConversionJob.h"
#include "engine/ConversionSettings.h"
#include "engine/FailureExplanation.h"
#include "engine/JobHost.h"
#include "engine/JobState.h"
#include "engine/OutputFiles.h"
#include "engine/OutputVerification.h"
#include "engine/SourceMovie.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformServices.h"
#include "foundation/ProcessRunner.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/StringHelpers.h"
#include "foundation/ToolLocator.h"

#include <QFile>

namespace {

constexpr double kGiB = 1073741824.0;

void deleteFile(const QString& path)
{
    if (!path.isEmpty())
        QFile::remove(path);
}

bool saysNoSpace(const QString& output)
{
    return contains(output, QStringLiteral("No space left on device"));
}

// Dolby Vision profile 5 has no HDR10 or SDR base layer: a player that takes
// it for plain HEVC (sample entry hvc1) shows green and purple pictures. It
// needs the sample entry dvh1, which ffmpeg will not write.
bool needsDolbyVisionSampleEntry(const MKVFileInfo& info)
{
    return info.videoCodec() == QLatin1String("hevc") && info.dolbyVisionProfile() == 5;
}

// MP4Box rewrites the video's sample entry (track 1 in every command line)
// in place; false when it could not, with what it said in `toolOutput`.
bool writeDolbyVisionSampleEntry(const QString& file, QString& toolOutput)
{
    const QString mp4box = ToolLocator::find(QStringLiteral("MP4Box"));
    qint64 status = -1;
    const auto output =
        runAsTaskWithTerminationStatus({mp4box, QStringLiteral("-sample-entry"),
                                        QStringLiteral("1"), QStringLiteral("dvh1"), file},
                                       &status);
    toolOutput = output.value_or(QString());
    if (output && status == 0 && !contains(*output, QStringLiteral("Error")))
        return true;
    asl_NSLog(3, "Error from MP4Box");
    return false;
}

} // namespace

void CompletionPipeline::processEnded(int status)
{
    if (saysInputEndedEarly(m_job.m_output.text()))
        m_job.m_inputEndedEarly = true;
    const bool last = !m_job.m_multiConversion || m_job.m_conversionStage == 2;
    if (last) {
        endLastProcess(status == 0);
        return;
    }
    if (status != 0) {
        endStageFailure(saysNoSpace(m_job.m_output.text()));
        return;
    }
    m_job.m_output.clear();
    // Straight on, in this same turn of the event loop: nothing waits
    // between the stages.
    startNextStage();
}

void CompletionPipeline::startNextStage()
{
    ConversionJob& job = m_job;
    const ConversionSettings settings = ConversionSettings::fromStore();
    if (job.m_conversionStage == 0) {
        asl_NSLog_debug("wav got a size of %fGB", fileSize(job.m_audioFile) / kGiB);
        job.m_progressReader.reset();
        job.m_aacFile = documentsFile(job.m_fileInfo->fileName(), QStringLiteral(".tmp.aac"));
        job.takeSleepAssertion();
        job.launch(QStringLiteral("afconvert"),
                   afconvertArguments(job.m_audioFile, job.m_aacFile, settings));
    } else {
        asl_NSLog_debug("aac got a size of %fGB", fileSize(job.m_aacFile) / kGiB);
        deleteFile(job.m_audioFile);
        job.m_audioFile.clear();
        const BuiltArguments built = muxArguments(job.conversionInputs(), job.m_aacFile, settings);
        if (built.addedSurround)
            job.m_addedSurround = true;
        job.m_furtherAudioTracks = built.furtherAudioTracks;
        job.takeSleepAssertion();
        job.launch(QStringLiteral("ffmpeg"), built.arguments);
    }
    job.startTimer();
    ++job.m_conversionStage;
}

void CompletionPipeline::endStageFailure(bool noSpace)
{
    // A failed extraction or encoding stage ends the job like a failed last
    // process, so the queue goes on; its temporary files go with it.
    fail();
    if (noSpace)
        showFreeSpaceFailureAlert();
    finishJob();
}

void CompletionPipeline::endLastProcess(bool success)
{
    ConversionJob& job = m_job;
    asl_NSLog_debug("mp4 got a size of %fGB", fileSize(job.m_partialFile) / kGiB);
    deleteFile(job.m_aacFile);
    deleteFile(job.m_audioFile);
    if (success && !fileExists(job.m_partialFile)) {
        // The tool ended well, but its output went away meanwhile (its folder
        // deleted or unmounted): never reported as a finished movie.
        job.m_output.setText(job.m_output.text() +
                             makeString("The output file %@ no longer exists.", job.m_partialFile));
        success = false;
    }
    const ConversionSettings settings = ConversionSettings::fromStore();
    if (success && settings.conversionPreset == 0 && job.m_addedSurround)
        setSurroundTrackEnabled(settings.includeSurroundTrackDisabled == 0);
    // The further audio tracks follow the video (1), the main audio (2) and
    // the surround track; they are offered beside the main one.
    for (int i = 0; success && i < job.m_furtherAudioTracks; ++i)
        setTrackEnabled(3 + int(job.m_addedSurround) + i, true);
    QString toolOutput;
    if (success && needsDolbyVisionSampleEntry(*job.m_fileInfo) &&
        !writeDolbyVisionSampleEntry(job.m_partialFile, toolOutput)) {
        // Left as hvc1 the file would play in wrong colours: never Finished.
        job.m_verificationProblem = QStringLiteral(
            "The Dolby Vision sample entry (dvh1) could not be written into the converted file.");
        job.m_output.setText(job.m_output.text() + toolOutput + job.m_verificationProblem);
        success = false;
    }
    success = success && verifyWrittenFile() && moveToDestination();
    if (!success) {
        fail();
        if (saysNoSpace(job.m_output.text()))
            showFreeSpaceFailureAlert();
    } else {
        job.setFinishedOK(true);
        job.setState(JobFinished);
        if (defaultInt(kAutoCleanKey) != 0)
            job.remove();
        if (defaultInt(kAutoRemoveKey) != 0) {
            if (defaultInt(kAutoRemoveTypeKey) != 0)
                deleteSourceMovie(job.sourcePath());
            else
                trashSourceMovie(job.sourcePath());
        }
    }
    finishJob();
}

void CompletionPipeline::setSurroundTrackEnabled(bool enabled)
{
    // Both audio tracks share one alternate group; enabled, the surround
    // track is offered as the alternative to the main one.
    const auto output = setTrackEnabled(3, enabled);
    asl_NSLog_debug(enabled ? "conversionFinished enable5.1 %@"
                            : "conversionFinished disable5.1 %@",
                    output.value_or(QString()));
}

std::optional<QString> CompletionPipeline::setTrackEnabled(int trackId, bool enabled)
{
    const QString mp4box = ToolLocator::find(QStringLiteral("MP4Box"));
    const auto output =
        runAsTask({mp4box, enabled ? QStringLiteral("-enable") : QStringLiteral("-disable"),
                   QString::number(trackId), m_job.m_partialFile});
    if (!output || contains(*output, QStringLiteral("Error")))
        asl_NSLog(3, "Error from MP4Box");
    return output;
}

bool CompletionPipeline::verifyWrittenFile()
{
    ConversionJob& job = m_job;
    const MKVFileInfo& info = *job.m_fileInfo;
    MappedSource source;
    const QStringList& tracks = info.audioTrackInformation();
    source.withoutAudio = tracks.isEmpty();
    if (job.m_multiConversion && !tracks.isEmpty())
        source.encodedAudioStream =
            parseAudioDescriptor(tracks.value(int(job.m_audioTrackIndex))).streamIndex;
    source.streamStarts = info.streamTimings().starts;
    source.inputStart = info.streamTimings().inputStart;
    ExpectedOutput expected =
        expectedOutput(job.m_arguments, job.m_addedSurround, info.runtimeSeconds(),
                       info.streamSeconds(), job.m_furtherAudioTracks, source);
    expected.inputEndedEarly = job.m_inputEndedEarly;
    const std::optional<WrittenMovie> written = readWrittenMovie(job.m_partialFile);
    job.m_verificationProblem = outputProblem(expected, written);
    if (job.m_verificationProblem.isEmpty()) {
        if (job.m_inputEndedEarly && written)
            job.m_completionWarning = truncationWarning(info.fileName(), playedSeconds(*written),
                                                        expected.runtimeSeconds);
        if (!job.m_completionWarning.isEmpty())
            asl_NSLog(3, "%@", job.m_completionWarning);
        return true;
    }
    asl_NSLog(3, "%@: %@", job.m_fileInfo->fileName(), job.m_verificationProblem);
    return false;
}

bool CompletionPipeline::moveToDestination()
{
    ConversionJob& job = m_job;
    const QString wanted = job.destinationPath();
    const auto moved = moveIntoPlace(job.m_partialFile, wanted);
    if (!moved) {
        job.m_output.setText(job.m_output.text() +
                             makeString("The converted file could not be moved to %@.", wanted));
        return false;
    }
    job.m_partialFile.clear();
    // A name taken meanwhile gave the next free one: the job now points there.
    if (*moved != wanted)
        job.m_fileInfo->setDestinationURL(QUrl::fromLocalFile(*moved));
    job.deleteUnfinishedFiles();
    return true;
}

void CompletionPipeline::fail()
{
    // An unfinished output never stays behind looking like a movie.
    m_job.deleteUnfinishedFiles();
    m_job.setFinishedError(true);
    m_job.setState(JobFailed);
}

void CompletionPipeline::finishJob()
{
    m_job.m_stopDate = QDateTime::currentDateTime();
    m_job.setProgress(100);
    JobHost* host = jobHost();
    if (host && host->jobCountWithState(JobConverting) == 0)
        host->startNextJobInQueue();
    notifyEnd();
    if (host && defaultInt(kQuitAfterConversionKey) != 0 &&
        host->jobCountWithState(JobConverting) == 0)
        host->terminateApplication();
}

void CompletionPipeline::notifyEnd()
{
    HalvornLib& info = appInfo();
    UserNotification n;
    if (m_job.state() == JobFailed) {
        n.title = makeString("%@ Conversion Failed", info.appName());
        n.informativeText =
            makeString("Vantreo has failed to convert the file %@.", m_job.m_fileInfo->fileName());
    } else {
        n.title = makeString("%@ Conversion Finished", info.appName());
        n.informativeText = makeString("%@ has finished converting the file %@.", info.appName(),
                                       m_job.m_fileInfo->fileName());
        n.actionButtonTitle = QStringLiteral("Show");
        n.path = m_job.destinationPath();
    }
    userNotifier().deliver(n);
}

void CompletionPipeline::showFreeSpaceFailureAlert()
{
    alert(QStringLiteral("Conversion Failed"), freeSpaceFailureText(), QStringLiteral("OK"));
}
