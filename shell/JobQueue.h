#pragma once

#include "engine/JobHost.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class ConversionJob;

// The queue of conversion jobs and its policy: a job is added only when its
// destination can be written, one job converts at a time and the next
// queued (or paused) one starts when it ends, the whole queue pauses and
// continues, finished jobs are cleaned away and everything is removed when
// the application quits. Installed as the jobs' host while it lives. The
// job list follows its row signals.
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
    // Takes the job over and starts it when nothing converts and the queue
    // is not paused; answers false (and drops it) when its destination
    // cannot be written.
    bool addJob(ConversionJob* job);
    // Tells the user the chosen destination cannot be written; the add that
    // chose it is over (addFinished).
    void refuseDestination();
    void removeJob(ConversionJob* job) override;
    qint64 jobCountWithState(int state) const override;
    void startNextJobInQueue() override;
    // With a sender: pauses the converting job and the queue, or continues
    // the queue and starts the next job. Without: only ends a pause.
    void pauseContinueClicked(QObject* sender) override;
    bool paused() const { return m_paused; }
    // Removes every finished job.
    void cleanClicked();
    // Removes every job without starting another: running tools end and
    // unfinished outputs are deleted.
    void terminate();
    void terminateApplication() override;
    // Destinations of every job in the queue, which a new job must avoid.
    QStringList queuedDestinations() const;

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
    QList<ConversionJob*> m_taskArray;
    bool m_paused = false;
    bool m_terminating = false;
    QString m_windowTitle;
};
