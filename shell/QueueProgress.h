#pragma once

#include "engine/JobState.h"

#include <QList>
#include <QString>

class ConversionJob;

// How far the queue has come, for the window title, the tray and the
// launcher entry: the jobs still to do (queued, converting or paused), how
// many of them convert, and their mean progress in whole percent.
struct QueueProgress
{
    int left = 0;
    int converting = 0;
    int percent = 0;

    bool operator==(const QueueProgress&) const = default;
};

struct JobProgressSample
{
    JobState state = JobState::Queued;
    float progress = 0;
};

QueueProgress queueProgress(const QList<JobProgressSample>& jobs);
QueueProgress queueProgress(const QList<ConversionJob*>& jobs);

// "42% – title" while a job converts, the title alone otherwise.
QString titleWithProgress(const QString& title, const QueueProgress& progress);
