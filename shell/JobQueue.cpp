#include "shell/JobQueue.h"

#include "engine/ConversionJob.h"
#include "engine/FailureExplanation.h"
#include "engine/FileJournal.h"
#include "engine/JobState.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"

JobQueue::JobQueue(QObject* parent) : QObject(parent)
{
    FileJournal::instance().removeLeftovers();
    setJobHost(this);
    updateWindowTitle();
}

JobQueue::~JobQueue()
{
    if (jobHost() == this)
        setJobHost(nullptr);
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
    if (!m_paused && jobCountWithState(JobConverting) == 0)
        job->start();
    const int row = int(m_taskArray.size());
    emit jobAboutToBeAdded(row);
    m_taskArray.append(job);
    emit jobAdded(row);
    emit taskArrayChanged();
    emit addFinished();
    updateWindowTitle();
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
    if (job && job->parent() == this)
        job->deleteLater();
    updateWindowTitle();
}

qint64 JobQueue::jobCountWithState(int state) const
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
    // Copy: starting a job can change the list (a job whose source is gone
    // fails at once).
    const QList<ConversionJob*> jobs = m_taskArray;
    for (ConversionJob* job : jobs) {
        if (job->state() == JobPaused) {
            job->continueJob();
            return;
        }
        if (job->state() == JobQueued) {
            job->start();
            return;
        }
    }
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
    for (const ConversionJob* job : m_taskArray)
        out.append(job->destinationPath());
    return out;
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
