#include "shell/AppDelegate.h"

#include "engine/ConversionJob.h"
#include "engine/FailureExplanation.h"
#include "engine/FileJournal.h"
#include "engine/JobState.h"
#include "foundation/Alerts.h"
#include "foundation/BoundedTask.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsAccess.h"

AppDelegate::AppDelegate(QObject* parent) : QObject(parent)
{
    // Both front ends make their queue here: what a run that died left
    // behind (partial outputs, temporary audio) goes before anything starts.
    FileJournal::instance().removeLeftovers();
    setJobHost(this);
    updateWindowTitle();
}

AppDelegate::~AppDelegate()
{
    if (jobHost() == this)
        setJobHost(nullptr);
}

bool AppDelegate::addJob(ConversionJob* job)
{
    if (!job)
        return false;
    const QString destination = job->destinationPath();
    if (!isWriteablePath(destination)) {
        cancelAdd();
        alertPresenter().activateApplication();
        alert(AlertKind::Warning, appInfo().appName(), destinationNotWritableText(),
              QStringLiteral("OK"));
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
    cancelAdd();
    updateWindowTitle();
    return true;
}

void AppDelegate::removeJob(ConversionJob* job)
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

qint64 AppDelegate::jobCountWithState(int state) const
{
    qint64 count = 0;
    for (const ConversionJob* job : m_taskArray)
        if (job->state() == state)
            ++count;
    return count;
}

void AppDelegate::startNextJobInQueue()
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

void AppDelegate::pauseContinueClicked(QObject* sender)
{
    if (m_paused) {
        m_paused = false;
        if (sender)
            startNextJobInQueue();
        setAddButtonTitle(QStringLiteral("Start Conversion"));
        emit pauseContinueChanged();
    } else if (sender) {
        const QList<ConversionJob*> jobs = m_taskArray;
        for (ConversionJob* job : jobs)
            if (job->state() == JobConverting)
                job->pause();
        setAddButtonTitle(QStringLiteral("Add to Queue"));
        m_paused = true;
        emit pauseContinueChanged();
    }
    updateWindowTitle();
}

void AppDelegate::cleanClicked()
{
    QList<ConversionJob*> finished;
    for (ConversionJob* job : m_taskArray)
        if (job->state() == JobFinished)
            finished.append(job);
    for (ConversionJob* job : finished)
        job->remove();
}

void AppDelegate::updateWindowTitle()
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

bool AppDelegate::applicationShouldTerminate()
{
    if (jobCountWithState(JobConverting) == 0)
        return true;
    return alert(AlertKind::Warning, appInfo().appName(),
                 QStringLiteral("Conversion is in progresss. Are you sure you want to quit?"),
                 QStringLiteral("Quit"), QStringLiteral("Cancel")) == kAlertDefault;
}

void AppDelegate::applicationWillTerminate()
{
    synchronize();
    // A movie being probed: its tools end now, so the probe's thread does not
    // hold up the exit.
    cancelBoundedTasks();
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

void AppDelegate::terminateApplication()
{
    emit terminateRequested();
}

QStringList AppDelegate::queuedDestinations() const
{
    QStringList out;
    for (const ConversionJob* job : m_taskArray)
        out.append(job->destinationPath());
    return out;
}

void AppDelegate::setAddButtonTitle(const QString& title)
{
    if (title != m_addButtonTitle) {
        m_addButtonTitle = title;
        emit addButtonTitleChanged(title);
    }
}

QString AppDelegate::pauseContinueTitle() const
{
    return m_paused ? QStringLiteral("Resume Queue") : QStringLiteral("Pause Queue");
}

QString AppDelegate::pauseContinueImage() const
{
    return m_paused ? QStringLiteral("toolbar_start") : QStringLiteral("toolbar_pause");
}
