#include "engine/ConversionJob.h"

#include "engine/AfterJobActions.h"
#include "engine/ConversionMethod.h"
#include "engine/ConversionSettings.h"
#include "engine/FreeSpaceCheck.h"
#include "engine/JobEnding.h"
#include "engine/JobHost.h"
#include "engine/JobState.h"
#include "engine/KeptTracks.h"
#include "engine/SourceMovie.h"
#include "engine/StatusLine.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformServices.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/StringHelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace {

// A property setter's change: true when the value changed (and it is set).
template <typename T> bool assign(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

ConversionJob::ConversionJob(QObject* parent) : QObject(parent)
{
    m_record.owner = this;
    connect(&m_pipeline, &CompletionPipeline::processStarting, this,
            &ConversionJob::processStarting);
    connect(&m_pipeline, &CompletionPipeline::processEnded, this, &ConversionJob::processEnded);
    connect(&m_pipeline, &CompletionPipeline::ended, this, &ConversionJob::conversionEnded);
}

ConversionJob::~ConversionJob()
{
    // A job destroyed with a tool still running (the application quitting
    // without removing it) must not leave the tool behind, nor an unfinished
    // output or temporary audio.
    m_pipeline.abandon();
    m_record.deleteUnfinishedFiles();
    m_record.discardProgressFile();
    releaseSleepAssertion();
}

void ConversionJob::setState(JobState state)
{
    if (!assign(m_state, state))
        return;
    emit stateChanged(state);
    emit stateInfoStringChanged();
}

void ConversionJob::setProgress(float progress)
{
    if (!assign(m_progress, progress))
        return;
    emit progressChanged(progress);
    emit stateInfoStringChanged();
}

void ConversionJob::setSlowmode(bool v)
{
    if (assign(m_slowmode, v))
        emit slowmodeChanged(v);
}

void ConversionJob::setFastmode(bool v)
{
    if (assign(m_fastmode, v))
        emit fastmodeChanged(v);
}

void ConversionJob::setAudioTrackIndex(qulonglong index)
{
    if (assign(m_record.audioTrackIndex, index))
        emit audioTrackIndexChanged(index);
}

QString ConversionJob::stateInfoString() const
{
    StatusLineInputs in;
    in.state = m_state;
    in.progress = m_progress;
    const QDateTime now = QDateTime::currentDateTime();
    if (m_startDate.isValid())
        in.elapsedSeconds = m_startDate.msecsTo(now) / 1000.0;
    if (m_startDate.isValid() && m_stopDate.isValid())
        in.tookSeconds = m_startDate.msecsTo(m_stopDate) / 1000.0;
    if (m_record.fileInfo)
        in.audioTracks = m_record.fileInfo->audioTracks();
    in.audioTrackIndex = int(m_record.audioTrackIndex);
    in.multiConversion = m_record.multiConversion;
    in.readingTasks = m_record.readingCount > 0 ? 1 : 0;
    in.readingSubtitles = m_record.readingIndex >= 0;
    in.warning = m_record.completionWarning;
    return ::stateInfoString(in);
}

void ConversionJob::presetSpeedInfo()
{
    const MKVFileInfoPtr& info = m_record.fileInfo;
    if (!info || m_record.audioTrackIndex >= qulonglong(info->audioTracks().size()))
        return;
    const AudioTrack& d = info->audioTracks().at(int(m_record.audioTrackIndex));
    setSpeedInfoFromMethod(calculateConversionMethod(d.codec, d.isSurround(), m_record.settings()));
}

void ConversionJob::setSpeedInfoFromMethod(int method)
{
    setSlowmode(false);
    setFastmode(false);
    if (method == MethodAACViaWAV)
        setSlowmode(true);
    else if (method == MethodCopy)
        setFastmode(true);
}

void ConversionJob::takeSleepAssertion()
{
    if (m_sleepAssertion == 0)
        m_sleepAssertion = sleepInhibitor().take(
            QCoreApplication::translate("ConversionJob", "Converting MKV file."));
}

void ConversionJob::releaseSleepAssertion()
{
    if (m_sleepAssertion != 0) {
        sleepInhibitor().release(m_sleepAssertion);
        m_sleepAssertion = 0;
    }
}

void ConversionJob::startTimer()
{
    stopTimer();
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &ConversionJob::progressTimer);
    m_timer->start();
}

void ConversionJob::stopTimer()
{
    delete m_timer; // stops it; a QPointer, so none is harmless
}

void ConversionJob::refuseStart(const QString& refusal)
{
    m_record.deleteUnfinishedFiles();
    m_record.discardProgressFile();
    releaseSleepAssertion();
    emit startRefused(refusal);
}

void ConversionJob::failMissingSource()
{
    emit noticeRaised(sourceGoneNotice(sourcePath()));
    m_record.output = QStringLiteral("USER_REMOVED");
    m_record.deleteUnfinishedFiles();
    m_record.discardProgressFile();
    releaseSleepAssertion();
    m_stopDate = QDateTime::currentDateTime();
    setState(JobFailed);
    // The queue moves on instead of stalling on a job that cannot start.
    QTimer::singleShot(0, this, [this] {
        if (m_host)
            m_host->startNextJobInQueue();
    });
}

void ConversionJob::start()
{
    asl_NSLog_debug("start %p", this);
    if (!m_record.fileInfo || m_removed)
        return;
    takeSleepAssertion();
    // A fresh record for this run; the movie, its track and the trial's
    // answer stay.
    m_record.restart();
    m_progressReader.reset();

    const ConversionInputs in = m_record.conversionInputs();
    const AudioTrack chosen = chosenAudioTrack(in);
    const ConversionSettings settings = m_record.settings();
    // A movie without sound is copied in one run whatever the style.
    m_record.method = in.audioTracks.isEmpty()
                          ? MethodCopy
                          : calculateConversionMethod(chosen.codec, chosen.isSurround(), settings);
    setSpeedInfoFromMethod(m_record.method);

    // A destination folder deleted, unmounted or made read-only since the
    // movie was queued is named as such (its free space would read as zero).
    // A missing source is reported below instead.
    const MKVFileInfo& info = *m_record.fileInfo;
    const bool sourceExists = fileExists(info.fileURL());
    if (sourceExists && !acceptsWrites(m_record.partialFile)) {
        const QString refusal = destinationNotWritableText();
        emit noticeRaised(warningNotice(appInfo().appName(), refusal));
        refuseStart(refusal);
        return;
    }
    QString refusal;
    m_record.encodedFurtherTracks = encodedFurtherTrackCount(in, settings);
    if (sourceExists &&
        !checkFreeSpace(m_record.method == MethodAACViaWAV, info.runtimeSeconds(), info.fileSize(),
                        destinationPath(), &refusal, m_record.encodedFurtherTracks,
                        aacBitrateText(settings.aacBitrate).toULongLong())) {
        emit noticeRaised(warningNotice(appInfo().appName(), refusal));
        refuseStart(refusal);
        return;
    }
    if (!sourceExists) {
        failMissingSource();
        return;
    }

    m_record.multiConversion = m_record.method == MethodAACViaWAV;
    m_startDate = QDateTime::currentDateTime();
    startTimer();
    setState(JobConverting);
    // The AAC trial, when the command line asks it, runs first; the job
    // shows Converting meanwhile and can be paused or removed.
    m_pipeline.run(m_stages ? *m_stages : conversionStages(m_record.method));
    if (m_host)
        m_host->pauseContinueClicked(nullptr);
}

void ConversionJob::pause()
{
    asl_NSLog_debug("pause %p", this);
    // Only a converting job has a tool to stop; pausing anything else would
    // leave a job that claims to convert with nothing running.
    if (m_state != JobConverting)
        return;
    stopTimer();
    m_pipeline.pause();
    setState(JobPaused);
    releaseSleepAssertion();
}

void ConversionJob::continueJob()
{
    asl_NSLog_debug("continue %p", this);
    if (m_state != JobQueued) {
        startTimer();
        m_pipeline.resume();
        setState(JobConverting);
        takeSleepAssertion();
    } else {
        start();
    }
    if (m_host)
        m_host->pauseContinueClicked(nullptr);
}

void ConversionJob::remove()
{
    asl_NSLog_debug("remove %p", this);
    if (m_removed)
        return;
    m_removed = true;
    stopTimer();
    // The running tool is told to end and is never waited for; its end
    // never reaches the completion steps.
    m_pipeline.abandon();
    // Only the job's own unfinished files go: a Finished movie stays, and so
    // does anything else at the destination path.
    m_record.deleteUnfinishedFiles();
    m_record.discardProgressFile();
    releaseSleepAssertion();
    if (JobHost* host = m_host) {
        host->removeJob(this);
        host->startNextJobInQueue();
    }
}

void ConversionJob::reveal(bool shiftHeld)
{
    asl_NSLog_debug("%p reveal", this);
    if (!m_record.fileInfo)
        return;
    if (m_state == JobFailed) {
        const FailureExplanation e = failureExplanation();
        emit noticeRaised({AlertKind::Automatic, e.title, e.message, e.defaultButton,
                           e.alternateButton, e.offersSupportMail});
        return;
    }
    if (shiftHeld)
        revealSourceMovie(sourcePath());
    else
        workspaceService().revealFile(destinationPath());
}

FailureExplanation ConversionJob::failureExplanation() const
{
    if (m_restoredExplanation)
        return *m_restoredExplanation;
    const ConversionSettings settings = m_record.settings();
    const MKVFileInfo& info = *m_record.fileInfo;
    return explainFailure(m_record.output, m_record.arguments,
                          settings.disableBuiltinSubtitles != 0, !info.subtitleTrackIDs().isEmpty(),
                          info.subtitleFileURL().has_value(), m_record.verificationProblem,
                          keptSubtitleLanguages(m_record.conversionInputs(), settings));
}

QString ConversionJob::failureExplanationText() const
{
    return m_record.fileInfo ? failureExplanation().message : QString();
}

JobOutcome ConversionJob::outcome() const
{
    JobOutcome o;
    o.progress = m_progress;
    o.startDate = m_startDate;
    o.stopDate = m_stopDate;
    o.completionWarning = m_record.completionWarning;
    o.arguments = m_record.arguments;
    o.output = m_record.output;
    if (m_state == JobFailed && m_record.fileInfo)
        o.explanation = failureExplanation();
    return o;
}

void ConversionJob::restoreEnded(JobState state, const JobOutcome& outcome)
{
    if (state != JobFinished && state != JobFailed)
        return;
    m_record.arguments = outcome.arguments;
    m_record.output = outcome.output;
    m_record.completionWarning = outcome.completionWarning;
    m_startDate = outcome.startDate;
    m_stopDate = outcome.stopDate;
    m_restoredExplanation = outcome.explanation;
    setProgress(outcome.progress);
    setState(state);
}

void ConversionJob::progressTimer()
{
    // While the subtitles are read, the reader tells how far it is.
    if (m_record.readingIndex >= 0 && m_record.readingCount > 0) {
        const int done = latestReadingProgress(m_pipeline.runningOutput()).value_or(0);
        setProgress(m_record.readingShare * (float(m_record.readingIndex) + float(done) / 100) /
                    float(m_record.readingCount));
        return;
    }
    if (const auto p = m_record.progress(m_progressReader))
        setProgress(*p);
}

void ConversionJob::processStarting()
{
    m_progressReader.reset();
    // A job paused during the trial starts its conversion paused.
    if (m_state != JobConverting)
        return;
    takeSleepAssertion();
    startTimer();
}

void ConversionJob::processEnded()
{
    releaseSleepAssertion();
    stopTimer();
    // Emptied, not deleted: the name stays the job's until the run ends,
    // and the next process does not show the last one's position.
    QFile::resize(m_record.progressFile, 0);
}

void ConversionJob::conversionEnded(bool success)
{
    if (m_removed)
        return;
    asl_NSLog_debug("%p conversionEnded %i %@", this, m_record.conversionStage, sourcePath());
    releaseSleepAssertion();
    stopTimer();
    m_record.discardProgressFile();
    if (!success) {
        fail();
        if (contains(m_record.output, QStringLiteral("No space left on device")))
            emit noticeRaised(freeSpaceFailureNotice());
    } else {
        setState(JobFinished);
    }
    finishJob();
}

void ConversionJob::fail()
{
    // An unfinished output never stays behind looking like a movie.
    m_record.deleteUnfinishedFiles();
    setState(JobFailed);
}

void ConversionJob::finishJob()
{
    m_stopDate = QDateTime::currentDateTime();
    setProgress(100);
    JobHost* host = m_host;
    if (!host)
        return;
    host->startNextJobInQueue();
    // Copied: an action may take the job out of its queue.
    const AfterJobActions actions = m_afterActions;
    for (const AfterJobAction& action : actions)
        action(*this, *host);
}
