#include "engine/ConversionJob.h"

#include "engine/AudioDescriptor.h"
#include "engine/CommandLines.h"
#include "engine/ConversionMethod.h"
#include "engine/ConversionSettings.h"
#include "engine/FailureExplanation.h"
#include "engine/FileJournal.h"
#include "engine/FreeSpaceCheck.h"
#include "engine/JobHost.h"
#include "engine/JobState.h"
#include "engine/KeptTracks.h"
#include "engine/OutputFiles.h"
#include "engine/ProgressCalc.h"
#include "engine/SourceMovie.h"
#include "engine/StatusLine.h"
#include "engine/SubtitleEncoding.h"
#include "foundation/Alerts.h"
#include "foundation/ChildProcess.h"
#include "foundation/HalvornLib.h"
#include "foundation/HostInformation.h"
#include "foundation/ListHelpers.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformServices.h"
#include "foundation/ProcessRunner.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/StringHelpers.h"
#include "foundation/ToolLocator.h"
#include "inspection/Languages.h"

#include <QFile>
#include <QTimer>
#include <climits>
#include <csignal>

namespace {

void deleteFile(const QString& path)
{
    if (!path.isEmpty())
        QFile::remove(path);
}

} // namespace

ConversionJob::ConversionJob(QObject* parent) : QObject(parent) {}

ConversionJob::~ConversionJob()
{
    // A job destroyed with a tool still running (the application quitting
    // without removing it) must not leave the tool behind.
    if (m_task) {
        m_task->disconnect(this);
        endChildProcess(*m_task);
        deleteFile(m_progressFile);
    }
    // Nor an unfinished output or temporary audio.
    deleteUnfinishedFiles();
    releaseSleepAssertion();
}

void ConversionJob::setState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
    emit stateInfoStringChanged();
}

void ConversionJob::setProgress(float progress)
{
    if (m_progress == progress)
        return;
    m_progress = progress;
    emit progressChanged(progress);
    emit stateInfoStringChanged();
}

void ConversionJob::setFinishedOK(bool v)
{
    if (m_finishedOK != v) {
        m_finishedOK = v;
        emit finishedOKChanged(v);
    }
}

void ConversionJob::setFinishedError(bool v)
{
    if (m_finishedError != v) {
        m_finishedError = v;
        emit finishedErrorChanged(v);
    }
}

void ConversionJob::setSlowmode(bool v)
{
    if (m_slowmode != v) {
        m_slowmode = v;
        emit slowmodeChanged(v);
    }
}

void ConversionJob::setFastmode(bool v)
{
    if (m_fastmode != v) {
        m_fastmode = v;
        emit fastmodeChanged(v);
    }
}

void ConversionJob::setAudioTrackIndex(qulonglong index)
{
    if (m_audioTrackIndex != index) {
        m_audioTrackIndex = index;
        emit audioTrackIndexChanged(index);
    }
}

QString ConversionJob::sourcePath() const
{
    return m_fileInfo ? m_fileInfo->fileURL().toLocalFile() : QString();
}

QString ConversionJob::destinationPath() const
{
    return m_fileInfo ? m_fileInfo->destinationURL().toLocalFile() : QString();
}

qint64 ConversionJob::processId() const
{
    return m_task ? m_task->processId() : 0;
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
    if (m_fileInfo)
        in.audioTracks = m_fileInfo->audioTrackInformation();
    in.audioTrackIndex = int(m_audioTrackIndex);
    in.multiConversion = m_multiConversion;
    in.conversionStage = m_conversionStage;
    in.warning = m_completionWarning;
    return ::stateInfoString(in);
}

void ConversionJob::presetSpeedInfo()
{
    if (!m_fileInfo || m_audioTrackIndex >= qulonglong(m_fileInfo->audioTrackInformation().size()))
        return;
    const AudioDescriptor d =
        parseAudioDescriptor(m_fileInfo->audioTrackInformation().at(int(m_audioTrackIndex)));
    setSpeedInfoFromMethod(
        calculateConversionMethod(d.codec, d.surround, ConversionSettings::fromStore()));
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
        m_sleepAssertion = sleepInhibitor().take(QStringLiteral("Converting MKV file."));
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
    if (m_timer) {
        m_timer->stop();
        delete m_timer;
    }
}

ConversionInputs ConversionJob::conversionInputs() const
{
    ConversionInputs in =
        movieTrackInputs(*m_fileInfo, int(qMin<qulonglong>(m_audioTrackIndex, qulonglong(INT_MAX))),
                         preferredLanguages3Letter());
    in.sourcePath = sourcePath();
    in.outputPath = m_partialFile;
    in.progressFile = m_progressFile;
    if (!in.subtitleFile.isEmpty())
        in.subtitleFileEncoding = subtitleFileEncoding(in.subtitleFile).value_or(QString());
    return in;
}

bool ConversionJob::needFixup()
{
    if (m_needsFixup)
        return *m_needsFixup;
    // The trial's second of movie goes to a temporary file of its own, in the
    // container the destination gets; nothing is written at the destination.
    const QString extension = pathExtension(destinationPath());
    const QString trial = documentsFile(
        m_fileInfo->fileName(),
        QStringLiteral(".trial.") + (extension.isEmpty() ? QStringLiteral("mp4") : extension));
    journalFiles({trial});
    const QString ffmpeg = ToolLocator::find(QStringLiteral("ffmpeg"));
    const auto output =
        runAsTask(QStringList{ffmpeg} + fixupTestArguments(conversionInputs(), trial));
    deleteFile(trial);
    journalFiles();
    m_needsFixup = output && contains(*output, QStringLiteral("aac_adtstoasc"));
    return *m_needsFixup;
}

void ConversionJob::journalFiles(const QStringList& extra)
{
    FileJournal::instance().record(
        this, QStringList{m_partialFile, m_progressFile, m_audioFile, m_aacFile} + extra);
}

void ConversionJob::deleteUnfinishedFiles()
{
    deleteFile(m_partialFile);
    m_partialFile.clear();
    deleteFile(m_audioFile);
    deleteFile(m_aacFile);
    FileJournal::instance().record(this, {});
}

bool ConversionJob::launch(const QString& tool, const QStringList& arguments)
{
    m_arguments = arguments;
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    prepareChildProcess(*process);
    connect(process, &QProcess::readyRead, this, &ConversionJob::outputReceived);
    connect(process, &QProcess::finished, this, &ConversionJob::conversionFinished);
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // Handled once the launching step is complete, never in its middle.
        if (error == QProcess::FailedToStart)
            QTimer::singleShot(0, this, &ConversionJob::processFailedToStart);
    });
    m_task = process;
    const QString program = ToolLocator::find(tool);
    if (program.isEmpty()) {
        // Reported like a tool that could not be started, once start() is done.
        m_output.setText(m_output.text() + ToolLocator::installHint(tool));
        QTimer::singleShot(0, this, [this] {
            if (m_task && m_task->state() == QProcess::NotRunning)
                processFailedToStart();
        });
        return false;
    }
    // Written down before the tool creates any of them, so a run that dies
    // leaves nothing the next start does not know of.
    journalFiles();
    process->start(program, arguments, QIODevice::ReadOnly);
    return true;
}

void ConversionJob::processFailedToStart()
{
    if (!m_task || m_task->state() != QProcess::NotRunning)
        return;
    const QString reason = m_task->errorString();
    if (!contains(m_output.text(), QStringLiteral("was not found")))
        m_output.setText(m_output.text() +
                         makeString("Could not start %@: %@", m_task->program(), reason));
    // Handled like a tool that ended with a failure status.
    conversionFinished(127, QProcess::NormalExit);
}

void ConversionJob::start()
{
    asl_NSLog_debug("start %p", this);
    if (!m_fileInfo || m_removed)
        return;
    takeSleepAssertion();
    m_audioFile.clear();
    m_aacFile.clear();
    m_output.clear();
    m_progressReader.reset();
    m_verificationProblem.clear();
    m_completionWarning.clear();
    m_inputEndedEarly = false;

    // Whatever is at the destination stays untouched: ffmpeg writes a hidden
    // partial file beside it, which becomes the destination only once the
    // job is Finished.
    m_progressFile = documentsFile(m_fileInfo->fileName(), QStringLiteral(".log"));
    deleteFile(m_progressFile);
    m_partialFile = uniqueFile(partialPathFor(destinationPath()));

    const ConversionInputs in = conversionInputs();
    const AudioDescriptor descriptor =
        in.audioTracks.isEmpty() ? AudioDescriptor{}
                                 : parseAudioDescriptor(in.audioTracks.at(in.audioTrackIndex));
    const ConversionSettings settings = ConversionSettings::fromStore();
    // A movie without sound is copied in one run whatever the style.
    const int method =
        in.audioTracks.isEmpty()
            ? MethodCopy
            : calculateConversionMethod(descriptor.codec, descriptor.surround, settings);
    setSpeedInfoFromMethod(method);

    // A destination folder deleted, unmounted or made read-only since the
    // movie was queued is named as such (its free space would read as zero).
    // A missing source is reported below instead.
    const bool sourceExists = fileExists(m_fileInfo->fileURL());
    if (sourceExists && !isWriteablePath(m_partialFile)) {
        const QString refusal = destinationNotWritableText();
        m_partialFile.clear();
        releaseSleepAssertion();
        alert(AlertKind::Warning, appInfo().appName(), refusal, QStringLiteral("OK"));
        emit startRefused(refusal);
        return;
    }
    QString refusal;
    m_encodedFurtherTracks = encodedFurtherTrackCount(in, settings);
    if (sourceExists &&
        !checkFreeSpace(method == MethodAACViaWAV, m_fileInfo->runtimeSeconds(),
                        m_fileInfo->fileSize(), destinationPath(), &refusal, m_encodedFurtherTracks,
                        aacBitrateText(settings.aacBitrate).toULongLong())) {
        m_partialFile.clear();
        releaseSleepAssertion();
        emit startRefused(refusal);
        return;
    }
    if (!sourceExists) {
        alert(AlertKind::Warning, appInfo().appName(),
              makeString("It seems you've removed the file %@ or unmounted it's volume so "
                         "conversion can't proceed.",
                         lastPathComponent(sourcePath())),
              QStringLiteral("OK"));
        m_output.setText(QStringLiteral("USER_REMOVED"));
        m_partialFile.clear();
        releaseSleepAssertion();
        setFinishedError(true);
        m_stopDate = QDateTime::currentDateTime();
        setState(JobFailed);
        // The queue moves on instead of stalling on a job that cannot start.
        QTimer::singleShot(0, this, [] {
            if (JobHost* host = jobHost(); host && host->jobCountWithState(JobConverting) == 0)
                host->startNextJobInQueue();
        });
        return;
    }

    QStringList arguments;
    if (method == MethodAACViaWAV) {
        m_audioFile = documentsFile(m_fileInfo->fileName(), QStringLiteral(".tmp.wav"));
        arguments = extractionArguments(in, m_audioFile);
        m_multiConversion = true;
    } else {
        const BuiltArguments built =
            singleProcessArguments(in, method, settings, [this] { return needFixup(); });
        arguments = built.arguments;
        if (built.addedSurround)
            m_addedSurround = true;
        m_furtherAudioTracks = built.furtherAudioTracks;
        m_multiConversion = false;
        m_conversionStage = 0;
    }

    launch(QStringLiteral("ffmpeg"), arguments);
    startTimer();
    m_startDate = QDateTime::currentDateTime();
    setState(JobConverting);
    if (JobHost* host = jobHost())
        host->pauseContinueClicked(nullptr);
}

void ConversionJob::pause()
{
    asl_NSLog_debug("pause %p", this);
    // Only a converting job has a tool to stop; pausing anything else would
    // leave a job that claims to convert with nothing running.
    if (m_state != JobConverting)
        return;
    stopTimer();
    if (m_task)
        signalChildGroup(*m_task, SIGSTOP);
    setState(JobPaused);
    releaseSleepAssertion();
}

void ConversionJob::continueJob()
{
    asl_NSLog_debug("continue %p", this);
    if (m_state != JobQueued) {
        startTimer();
        if (m_task)
            signalChildGroup(*m_task, SIGCONT);
        setState(JobConverting);
        takeSleepAssertion();
    } else {
        start();
    }
    if (JobHost* host = jobHost())
        host->pauseContinueClicked(nullptr);
}

void ConversionJob::remove()
{
    asl_NSLog_debug("remove %p", this);
    if (m_removed)
        return;
    m_removed = true;
    stopTimer();
    if (m_task) {
        // Stop listening first: the end of a removed job's tool never reaches
        // the completion steps. A paused tool is continued so it can end.
        m_task->disconnect(this);
        endChildProcess(*m_task);
        m_task->deleteLater();
        m_task = nullptr;
    }
    // Only the job's own unfinished files go: a Finished movie stays, and so
    // does anything else at the destination path.
    deleteFile(m_progressFile);
    deleteUnfinishedFiles();
    releaseSleepAssertion();
    if (JobHost* host = jobHost()) {
        host->removeJob(this);
        if (host->jobCountWithState(JobConverting) == 0)
            host->startNextJobInQueue();
    }
}

void ConversionJob::reveal(bool shiftHeld)
{
    asl_NSLog_debug("%p reveal", this);
    if (!m_fileInfo)
        return;
    if (m_state == JobFailed) {
        const FailureExplanation e = failureExplanation();
        const int answer = alert(e.title, e.message, e.defaultButton, e.alternateButton);
        if (e.offersSupportMail && answer == kAlertDefault) {
            HalvornLib& info = appInfo();
            const QString mail = problemReportMailText(
                info.infoValue("FeedbackEmail").value_or(QString()), info.appName(),
                info.appVersionString(), joined(m_arguments, " "), m_output.text(),
                XTHostInformation::machineType(), XTHostInformation::operatingSystemVersionString(),
                crashReportNote());
            if (const auto url = escapedURL(mail))
                open(*url);
        }
        return;
    }
    if (shiftHeld)
        revealSourceMovie(sourcePath());
    else
        workspaceService().revealFile(destinationPath());
}

FailureExplanation ConversionJob::failureExplanation() const
{
    const ConversionSettings settings = ConversionSettings::fromStore();
    return explainFailure(m_output.text(), m_arguments, settings.disableBuiltinSubtitles != 0,
                          !m_fileInfo->subtitleTrackIDs().isEmpty(),
                          m_fileInfo->subtitleFileURL().has_value(), m_verificationProblem,
                          keptSubtitleLanguages(conversionInputs(), settings));
}

QString ConversionJob::failureExplanationText() const
{
    return m_fileInfo ? failureExplanation().message : QString();
}

void ConversionJob::progressTimer()
{
    if (!m_fileInfo)
        return;
    if (m_multiConversion && m_conversionStage == 1) {
        setProgress(m_progress + 0.001f);
        if (const auto p = encodingStageProgress(fileSize(m_aacFile), m_fileInfo->runtimeSeconds(),
                                                 m_encodedFurtherTracks))
            setProgress(*p);
        return;
    }
    const QString text = m_progressReader.readNew(m_progressFile);
    const auto t = latestOutTimeSeconds(text);
    if (!t)
        return;
    if (const auto p = progressFromOutTime(*t, m_fileInfo->runtimeSeconds(), m_multiConversion,
                                           m_conversionStage, m_encodedFurtherTracks))
        setProgress(*p);
}

void ConversionJob::outputReceived()
{
    if (m_task)
        m_output.feed(m_task->readAll());
}

void ConversionJob::conversionFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (!m_task || m_removed)
        return;
    // Common steps at the end of every process.
    releaseSleepAssertion();
    m_task->disconnect(this);
    stopTimer();
    m_output.feed(m_task->readAll());
    m_output.finish();
    deleteFile(m_progressFile);
    m_task->deleteLater();
    m_task = nullptr;
    const int status = exitStatus == QProcess::NormalExit ? exitCode : (exitCode ? exitCode : -1);
    asl_NSLog_debug("%p conversionFinished %i %@ %@", this, m_conversionStage, QString(),
                    sourcePath());

    m_pipeline.processEnded(status);
    asl_NSLog_debug("%p conversionFinished OUT", this);
}
