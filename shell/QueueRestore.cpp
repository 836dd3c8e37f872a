#include "shell/QueueRestore.h"

#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "engine/RawNameLinks.h"
#include "foundation/MakeString.h"
#include "shell/AddPanelTexts.h"
#include "shell/CoverBeside.h"
#include "shell/JobQueue.h"
#include "shell/SavedJobs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

namespace {

bool isWaiting(const SavedJob& job)
{
    return job.state != JobFinished && job.state != JobFailed;
}

// Why the movie of a waiting job cannot be probed; empty when it can.
QString movieFailure(const QString& path)
{
    const QString shown = RawNameLinks::displayPath(path);
    if (!QFileInfo::exists(path))
        return makeString(QueueRestore::tr("The movie %@ no longer exists."), shown);
    const QString reason = notAMovieFileReason(path);
    return reason.isEmpty()
               ? QString()
               : makeString(QueueRestore::tr("The movie %@ can no longer be converted. %@"), shown,
                            reason);
}

} // namespace

QueueRestore::QueueRestore(JobQueue& queue, QObject* parent) : QObject(parent), m_queue(queue)
{
    // Continuing the queue is the answer to the notice; pausing it by hand
    // makes the pause the user's.
    connect(&m_queue, &JobQueue::pausedChanged, this, [this](bool paused) {
        m_pausedHere = false;
        if (!paused)
            setNotice({});
    });
}

QString QueueRestore::noticeText(qsizetype waiting)
{
    if (waiting <= 0)
        return {};
    if (waiting == 1)
        return tr("1 movie from your last session is waiting; press Continue to convert it.");
    return makeString(
        tr("%li movies from your last session are waiting; press Continue to convert them.",
           nullptr, int(waiting)),
        waiting);
}

void QueueRestore::restore(const QString& path)
{
    if (m_started)
        return;
    m_started = true;
    for (const SavedJob& job : loadSavedQueue(path))
        m_saved.append(withUsablePaths(job));
    // Saving starts at once: what is still being probed is kept in every
    // save, so quitting now loses nothing.
    m_queue.holdSavedJobs(m_saved);
    m_queue.startSaving(path);
    if (m_saved.isEmpty())
        return;

    QList<QUrl> urls;
    for (int i = 0; i < m_saved.size(); ++i) {
        const SavedJob& job = m_saved.at(i);
        m_failures.append(isWaiting(job) ? movieFailure(job.moviePath) : QString());
        if (isWaiting(job) && m_failures.last().isEmpty()) {
            m_probedJobs.append(i);
            urls.append(QUrl::fromLocalFile(job.moviePath));
        }
    }
    // Paused before anything could start: a job added meanwhile waits too.
    if (!urls.isEmpty() && !m_queue.paused()) {
        QObject pauseCommand;
        m_queue.pauseContinueClicked(&pauseCommand);
        m_pausedHere = true;
    }
    m_restoring = true;
    if (urls.isEmpty()) {
        probed({});
        return;
    }
    // The probe blocks while the tools run: on the pool, the answer handed
    // back through the application object, dropped when this is gone. The
    // playability warnings were shown when the movies were added.
    QPointer<QueueRestore> self(this);
    QObject* mainThreadObject = QCoreApplication::instance();
    QThreadPool::globalInstance()->start([self, urls, mainThreadObject] {
        const QList<MKVFileInfoPtr> infos =
            MKVFileInfo::initWithURLs(urls, MKVFileInfo::Warnings::Collected);
        // The cover beside the movie, as when it was added.
        for (qsizetype i = 0; i < infos.size() && i < urls.size(); ++i)
            if (infos.at(i))
                attachCoverBeside(*infos.at(i), urls.at(i).toLocalFile());
        QMetaObject::invokeMethod(
            mainThreadObject,
            [self, infos] {
                if (self)
                    self->probed(infos);
            },
            Qt::QueuedConnection);
    });
}

void QueueRestore::probed(const QList<MKVFileInfoPtr>& infos)
{
    QList<MKVFileInfoPtr> probedInfo(m_saved.size());
    for (int k = 0; k < m_probedJobs.size(); ++k) {
        const int i = m_probedJobs.at(k);
        const MKVFileInfoPtr info = infos.value(k);
        const QString problem = info ? addPanelNoticeFor(*info) : QString();
        if (!info || !problem.isEmpty())
            m_failures[i] = makeString(tr("The movie %@ can no longer be converted. %@"),
                                       RawNameLinks::displayPath(m_saved.at(i).moviePath), problem);
        else
            probedInfo[i] = info;
    }
    QList<ConversionJob*> jobs;
    qsizetype waiting = 0;
    for (int i = 0; i < m_saved.size(); ++i) {
        ConversionJob* job = restoredJob(m_saved.at(i), probedInfo.at(i), m_failures.at(i));
        if (job->state() == JobQueued)
            ++waiting;
        jobs.append(job);
    }
    m_restoring = false;
    const bool pausedHere = m_pausedHere;
    m_queue.restoreJobs(jobs);
    setNotice(m_queue.paused() ? noticeText(waiting) : QString());
    // Nothing came back that could convert: the pause was for nothing.
    if (waiting == 0 && pausedHere && m_queue.paused()) {
        m_queue.pauseContinueClicked(nullptr);
        if (m_queue.jobCountWithState(JobConverting) == 0)
            m_queue.startNextJobInQueue();
    }
    emit restored();
}

void QueueRestore::setNotice(const QString& notice)
{
    if (notice == m_notice)
        return;
    m_notice = notice;
    emit noticeChanged(notice);
}
