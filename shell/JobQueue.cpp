#include "shell/JobQueue.h"

#include "engine/ConversionJob.h"
#include "engine/ConversionSettings.h"
#include "engine/FailureExplanation.h"
#include "engine/FileJournal.h"
#include "engine/JobState.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "shell/JobNotices.h"
#include "shell/SavedJobs.h"

JobQueue::JobQueue(QObject* parent) : QObject(parent)
{
    FileJournal::instance().removeLeftovers();
    updateWindowTitle();
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(0);
    connect(&m_saveTimer, &QTimer::timeout, this, &JobQueue::saveNow);
}

JobQueue::~JobQueue()
{
    // A change not yet written is not lost with the queue (its jobs still
    // exist here).
    if (m_saveTimer.isActive())
        saveNow();
}

void JobQueue::watchJob(ConversionJob* job)
{
    job->setHost(this, m_afterActions);
    connect(job, &ConversionJob::stateChanged, this, &JobQueue::scheduleSave);
    connect(job, &ConversionJob::noticeRaised, this,
            [job](const JobNotice& notice) { showJobNotice(*job, notice); });
}

bool JobQueue::addJob(ConversionJob* job)
{
    if (!job)
        return false;
    if (!isWriteablePath(job->destinationPath())) {
        refuseDestination();
        job->deleteLater();
        return false;
    }
    job->setParent(this);
    // The job converts as the settings were when it was queued, whatever
    // they are by the time it starts.
    if (!job->settingsSnapshot())
        job->setSettingsSnapshot(ConversionSettings::fromStore());
    const int row = int(m_taskArray.size());
    emit jobAboutToBeAdded(row);
    m_taskArray.append(job);
    emit jobAdded(row);
    watchJob(job);
    startNextJobInQueue();
    emit taskArrayChanged();
    emit addFinished();
    updateWindowTitle();
    scheduleSave();
    return true;
}

void JobQueue::refuseDestination()
{
    emit addFinished();
    alertPresenter().activateApplication();
    alert(AlertKind::Warning, appInfo().appName(), destinationNotWritableText(),
          QStringLiteral("OK"));
}

void JobQueue::removeJob(ConversionJob* job)
{
    for (int row = int(m_taskArray.size()) - 1; row >= 0; --row) {
        if (m_taskArray.at(row) != job)
            continue;
        emit jobAboutToBeRemoved(row);
        m_taskArray.removeAt(row);
        emit jobRemoved(row);
    }
    emit taskArrayChanged();
    if (job && job->parent() == this) {
        job->disconnect(this);
        job->deleteLater();
    }
    updateWindowTitle();
    scheduleSave();
}

qint64 JobQueue::jobCountWithState(JobState state) const
{
    qint64 count = 0;
    for (const ConversionJob* job : m_taskArray)
        if (job->state() == state)
            ++count;
    return count;
}

void JobQueue::startNextJobInQueue()
{
    if (m_paused || m_terminating)
        return;
    // As many starts as there is room for: one, unless the command line asked
    // for several conversions at once. A start that is refused (no free
    // space) still uses its turn, so a refusal never starts the job after it.
    qint64 room = m_maxConverting - jobCountWithState(JobConverting);
    // Copy: starting a job can change the list (a job whose source is gone
    // fails at once).
    const QList<ConversionJob*> jobs = m_taskArray;
    for (ConversionJob* job : jobs) {
        if (room <= 0)
            return;
        if (!m_taskArray.contains(job))
            continue;
        if (job->state() == JobPaused) {
            job->continueJob();
            --room;
        } else if (job->state() == JobQueued) {
            job->start();
            --room;
        }
    }
}

void JobQueue::setMaxConverting(int jobs)
{
    m_maxConverting = qMax(1, jobs);
}

void JobQueue::pauseContinueClicked(QObject* sender)
{
    if (m_paused) {
        m_paused = false;
        if (sender)
            startNextJobInQueue();
        emit pausedChanged(false);
    } else if (sender) {
        const QList<ConversionJob*> jobs = m_taskArray;
        for (ConversionJob* job : jobs)
            if (job->state() == JobConverting)
                job->pause();
        m_paused = true;
        emit pausedChanged(true);
    }
    updateWindowTitle();
}

void JobQueue::cleanClicked()
{
    QList<ConversionJob*> finished;
    for (ConversionJob* job : m_taskArray)
        if (job->state() == JobFinished)
            finished.append(job);
    for (ConversionJob* job : finished)
        job->remove();
}

void JobQueue::terminate()
{
    // No job is started while the queue is emptied for quitting.
    m_terminating = true;
    // The next run restores the queue as it stands now; the removals below
    // must not overwrite that with an empty one.
    if (isSaving()) {
        saveNow();
        m_savePath.clear();
        m_saveTimer.stop();
    }
    while (!m_taskArray.isEmpty()) {
        ConversionJob* job = m_taskArray.first();
        job->remove();
        // A job removes itself; make sure the loop always moves on.
        if (!m_taskArray.isEmpty() && m_taskArray.first() == job)
            removeJob(job);
    }
}

void JobQueue::terminateApplication()
{
    emit terminateRequested();
}

QStringList JobQueue::queuedDestinations() const
{
    QStringList out;
    for (const SavedJob& held : m_heldJobs)
        out.append(held.destinationPath);
    for (const ConversionJob* job : m_taskArray)
        out.append(job->destinationPath());
    return out;
}

void JobQueue::startSaving(const QString& path)
{
    m_savePath = path;
}

void JobQueue::holdSavedJobs(const QList<SavedJob>& jobs)
{
    m_heldJobs = jobs;
}

void JobQueue::restoreJobs(const QList<ConversionJob*>& jobs)
{
    m_heldJobs.clear();
    for (int row = 0; row < jobs.size(); ++row) {
        ConversionJob* job = jobs.at(row);
        // Quitting meanwhile: the saved queue already holds them.
        if (m_terminating) {
            delete job;
            continue;
        }
        job->setParent(this);
        emit jobAboutToBeAdded(row);
        m_taskArray.insert(row, job);
        emit jobAdded(row);
        watchJob(job);
    }
    emit taskArrayChanged();
    updateWindowTitle();
    scheduleSave();
    // The queue was continued while they were being made: they take their
    // turn like any other.
    startNextJobInQueue();
}

QList<SavedJob> JobQueue::savedJobs() const
{
    QList<SavedJob> out = m_heldJobs;
    for (const ConversionJob* job : m_taskArray)
        if (job->fileInfo())
            out.append(savedJobFor(*job));
    return out;
}

void JobQueue::scheduleSave()
{
    if (isSaving())
        m_saveTimer.start();
}

void JobQueue::saveNow()
{
    m_saveTimer.stop();
    if (isSaving() && !writeSavedQueue(m_savePath, savedJobs()))
        asl_NSLog(3, "The queue could not be saved to %@", m_savePath);
}

void JobQueue::updateWindowTitle()
{
    const QString jobs = m_taskArray.isEmpty()
                             ? QString()
                             : makeString(" [%li Job(s), %li Queued]", m_taskArray.size(),
                                          jobCountWithState(JobQueued));
    const QString title =
        makeString("%@%@%@", appInfo().appName(),
                   m_paused ? QStringLiteral(" (Paused)") : QStringLiteral(" "), jobs);
    if (title != m_windowTitle) {
        m_windowTitle = title;
        emit windowTitleChanged(title);
    }
}
