#pragma once

#include "engine/AfterJobActions.h"
#include "engine/JobHost.h"
#include "shell/SavedQueue.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class ConversionJob;

// The queue of conversion jobs and its policy: a job is added only when its
// destination can be written, one job converts at a time and the next
// queued (or paused) one starts when it ends (several at once when the
// command line asks), the whole queue pauses and
// continues, finished jobs are cleaned away and everything is removed when
// the application quits. Each job converts with the settings it was queued
// with. The desktop program has the queue saved whenever it changes, for
// the next run. Installed as the jobs' host while it lives. The job list
// follows its row signals.
class JobQueue final : public QObject, public JobHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobQueue)

public:
    // Removes what a run that died left behind (partial outputs, temporary
    // audio) before any job starts.
    explicit JobQueue(QObject* parent = nullptr);
    ~JobQueue() override;

    const QList<ConversionJob*>& taskArray() const { return m_taskArray; }
    // Takes the job over, with a snapshot of the conversion settings unless
    // it has one, and starts it when nothing converts and the queue is not
    // paused; answers false (and drops it) when its destination cannot be
    // written.
    bool addJob(ConversionJob* job);
    // Tells the user the chosen destination cannot be written; the add that
    // chose it is over (addFinished).
    void refuseDestination();
    void removeJob(ConversionJob* job) override;
    qint64 jobCountWithState(JobState state) const override;
    void startNextJobInQueue() override;
    // What follows the end of each job the queue takes from now on.
    void setAfterJobActions(const AfterJobActions& actions) { m_afterActions = actions; }
    // How many jobs convert at once (1 unless the command line asks for more).
    void setMaxConverting(int jobs);
    int maxConverting() const { return m_maxConverting; }
    // With a sender: pauses the converting job and the queue, or continues
    // the queue and starts the next job. Without: only ends a pause.
    void pauseContinueClicked(QObject* sender) override;
    bool paused() const { return m_paused; }
    // Removes every finished job.
    void cleanClicked();
    // Removes every job without starting another: running tools end and
    // unfinished outputs are deleted. A saved queue is written first, as
    // the queue stands (a converting job as Queued), and no more after.
    void terminate();
    void terminateApplication() override;
    // Destinations of every job in the queue, which a new job must avoid.
    QStringList queuedDestinations() const;

    // ---- Keeping the queue for the next run (the desktop program) ----
    // From now on the queue is saved at `path` whenever it changes: a job
    // added, removed or changing state. The saves of one pass of the event
    // loop are made as one, after it; terminate() makes a pending one at once.
    void startSaving(const QString& path);
    bool isSaving() const { return !m_savePath.isEmpty(); }
    // Jobs of a saved queue that are being made again: every save keeps
    // them ahead of the jobs, and new jobs avoid their destinations.
    void holdSavedJobs(const QList<SavedJob>& jobs);
    // Puts the jobs made again at the head of the list, in their order, in
    // place of the held saved jobs. Starts none.
    void restoreJobs(const QList<ConversionJob*>& jobs);
    // What a save writes now.
    QList<SavedJob> savedJobs() const;
    // Writes the saved queue now.
    void saveNow();

    // "Vantreo (Paused) [2 Job(s), 1 Queued]".
    QString windowTitle() const { return m_windowTitle; }
    void updateWindowTitle();

signals:
    void jobAboutToBeAdded(int row);
    void jobAdded(int row);
    void jobAboutToBeRemoved(int row);
    void jobRemoved(int row);
    void taskArrayChanged();
    // An add ended, accepted or refused: the intake moves on.
    void addFinished();
    void pausedChanged(bool paused);
    void windowTitleChanged(const QString& title);
    // The application is asked to quit (after the last conversion).
    void terminateRequested();

private:
    void watchJob(ConversionJob* job);
    void scheduleSave();

    QList<ConversionJob*> m_taskArray;
    int m_maxConverting = 1;
    AfterJobActions m_afterActions;
    bool m_paused = false;
    bool m_terminating = false;
    QString m_windowTitle;
    QString m_savePath;
    QTimer m_saveTimer;
    QList<SavedJob> m_heldJobs;
};
